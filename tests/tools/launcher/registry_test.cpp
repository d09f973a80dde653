#include "platform/registry.h"

#include "tests/tools/launcher/launcher_env.h"

#include <gtest/gtest.h>

namespace {

using platform::RegistryKey;
using launcher_test::ReadFile;
using launcher_test::WriteFile;

constexpr const char* kKey = "Software\\Maker";

TEST(RegistryStore, ValuesSurviveReopeningWithAnyBytes) {
    launcher_test::UserFolders folders;
    EXPECT_FALSE(RegistryKey::Open(kKey));
    ASSERT_TRUE(RegistryKey::Create(kKey));
    const std::string odd = std::string("a=b%c\nd\r\x95\x5C") + '\0' + "e";
    {
        auto key = RegistryKey::Create(kKey);
        ASSERT_TRUE(key->SetValue("Path", "/opt/game"));
        ASSERT_TRUE(key->SetValue("Odd=Name%", odd));
        ASSERT_TRUE(key->SetValue("Empty", ""));
    }
    auto key = RegistryKey::Open("SOFTWARE\\maker");  // key names ignore case too
    ASSERT_TRUE(key);
    EXPECT_EQ(key->QueryValue("path"), "/opt/game");
    EXPECT_EQ(key->QueryValue("ODD=NAME%"), odd);
    EXPECT_EQ(key->QueryValue("Empty"), "");
    EXPECT_FALSE(key->QueryValue("Missing"));
    EXPECT_EQ(key->ValueNames(), (std::vector<std::string>{"Path", "Odd=Name%", "Empty"}));
    EXPECT_TRUE(std::filesystem::is_regular_file(folders.config() / "aerial-registry" / "software" / "maker.values"));
}

TEST(RegistryStore, SetReplacesDeleteRemovesAndKeyDeletionEndsAll) {
    launcher_test::UserFolders folders;
    auto key = RegistryKey::Create(kKey);
    key->SetValue("A", "1");
    key->SetValue("B", "2");
    key->SetValue("a", "3");  // the same value as "A"
    EXPECT_EQ(key->ValueNames(), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(key->QueryValue("A"), "3");
    EXPECT_TRUE(key->DeleteValue("b"));
    EXPECT_FALSE(key->DeleteValue("b"));
    EXPECT_EQ(key->ValueNames(), std::vector<std::string>{"A"});
    EXPECT_TRUE(RegistryKey::DeleteKey(kKey));
    EXPECT_FALSE(RegistryKey::Open(kKey));
}

TEST(RegistryStore, ReadsLongerThanTheBufferFail) {
    launcher_test::UserFolders folders;
    auto key = RegistryKey::Create(kKey);
    key->SetValue("Fits", std::string(RegistryKey::kMaxValueBytes, 'x'));
    key->SetValue("TooLong", std::string(RegistryKey::kMaxValueBytes + 1, 'x'));
    EXPECT_EQ(key->QueryValue("Fits")->size(), RegistryKey::kMaxValueBytes);
    EXPECT_FALSE(key->QueryValue("TooLong"));
}

TEST(RegistryStore, RefusesKeyPathsThatLeaveTheStore) {
    launcher_test::UserFolders folders;
    for (const char* path : {"", "Software\\", "\\Software", "Software\\..\\..\\x", "Software\\.", "a/b"}) {
        EXPECT_FALSE(RegistryKey::Create(path)) << path;
        EXPECT_FALSE(RegistryKey::DeleteKey(path)) << path;
    }
}

TEST(RegistryStore, DamagedLinesLoseOnlyThemselves) {
    launcher_test::UserFolders folders;
    const auto file = folders.config() / "aerial-registry" / "software" / "maker.values";
    WriteFile(file, "garbage\nBad=%Z1\nGood=ok\nAlso%3D=%41\n");
    auto key = RegistryKey::Open(kKey);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->ValueNames(), (std::vector<std::string>{"Good", "Also="}));
    EXPECT_EQ(key->QueryValue("also="), "A");
    key->SetValue("New", "n");
    EXPECT_EQ(ReadFile(file), "Good=ok\nAlso%3D=A\nNew=n\n");
}

}  // namespace
