#include "tools/launcher/core/ini_file.h"

#include "tests/support/hostile_files.h"
#include "tests/support/temp_dir.h"
#include "tests/tools/launcher/launcher_env.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

using launcher::IniFile;
using launcher_test::WriteFile;

// A Setup.ini that is there but cannot be read says why, at once (a FIFO
// never blocks the read); a missing one gives the defaults.
TEST(IniFile, AnUnreadableFileSaysWhyAtOnce) {
    test::TempDir dir;
    const std::filesystem::path path = dir.path() / "Setup.ini";
    EXPECT_EQ(IniFile(path).ReadString("Setup", "KEY", "default"), "default");
    EXPECT_EQ(IniFile(path).Check(), std::errc::no_such_file_or_directory);
    auto message = [&] {
        try {
            IniFile(path).ReadInteger("Setup", "SC_NUM", 0);
        } catch (const launcher::UnreadableIniFile& error) {
            return std::string(error.what());
        }
        return std::string("read");
    };
    std::filesystem::create_directory(path);
    EXPECT_EQ(message(), "設定ファイル「Setup.ini」の場所に別の種類の項目があります。");
    std::filesystem::remove(path);
    test::MakeFifo(path);
    EXPECT_BOUNDED(message() == "設定ファイル「Setup.ini」はファイルでもフォルダでもありません。", 1);
}

struct StringCase {
    const char* what;
    std::string text;
    const char* key;
    std::string expected;
};

TEST(IniFile, ReadsWithWindowsProfileRules) {
    const StringCase cases[] = {
        {"names ignore case", "[setup]\nkey=v\n", "KEY", "v"},
        {"blanks trimmed, CRLF", "[ Setup ]\r\n  KEY  =  v x  \r\n", "KEY", "v x"},
        {"one pair of double quotes", "[Setup]\nKEY=\"  q  \"\n", "KEY", "  q  "},
        {"one pair of single quotes", "[Setup]\nKEY='a'\n", "KEY", "a"},
        {"unmatched quotes kept", "[Setup]\nKEY=\"a'\n", "KEY", "\"a'"},
        {"only the outer pair", "[Setup]\nKEY=\"\"x\"\"\n", "KEY", "\"x\""},
        {"comment lines skipped", "[Setup]\n;KEY=c\n  ; KEY=d\nKEY=v\n", "KEY", "v"},
        {"no inline comments", "[Setup]\nKEY=a;b\n", "KEY", "a;b"},
        {"first key wins", "[Setup]\nKEY=1\nKEY=2\n", "KEY", "1"},
        {"first section wins", "[Setup]\nA=1\n[Other]\nKEY=x\n[SETUP]\nKEY=2\n", "KEY", "default"},
        {"other section not searched", "[Other]\nKEY=x\n", "KEY", "default"},
        {"keys before any section", "KEY=x\n[Setup]\n", "KEY", "default"},
        {"line without '=' ignored", "[Setup]\nKEY\nKEY=v\n", "KEY", "v"},
        {"empty value is a value", "[Setup]\nKEY=\n", "KEY", ""},
        {"'=' inside the value", "[Setup]\nKEY=a=b\n", "KEY", "a=b"},
        {"CP932 value bytes kept", "[Setup]\nKEY=\x95\x5C\x8E\xA6\n", "KEY", "\x95\x5C\x8E\xA6"},
        // 0x83 0x41 and 0x83 0x61 are two different katakana whose trail
        // bytes are 'A' and 'a': folding them would mix the two names up.
        {"trail bytes compare exactly", "[Setup]\nK\x83\x41=x\n", "k\x83\x61", "default"},
        {"double-byte names match", "[Setup]\nK\x83\x41=x\n", "k\x83\x41", "x"},
    };
    test::TempDir dir;
    const IniFile ini(dir.path() / "Setup.ini");
    for (const StringCase& c : cases) {
        WriteFile(ini.path(), c.text);
        EXPECT_EQ(ini.ReadString("Setup", c.key, "default"), c.expected) << c.what;
    }
}

TEST(IniFile, MissingFileGivesDefaultsAndChangesAreSeenAtOnce) {
    test::TempDir dir;
    const IniFile ini(dir.path() / "Setup.ini");
    EXPECT_EQ(ini.ReadString("Setup", "GAME_TITLE", ""), "");
    EXPECT_EQ(ini.ReadInteger("Setup", "SC_NUM", 0), 0);
    WriteFile(ini.path(), "[Setup]\nSC_NUM=3\n");
    EXPECT_EQ(ini.ReadInteger("Setup", "SC_NUM", 0), 3);
    WriteFile(ini.path(), "[Setup]\nSC_NUM=4\n");
    EXPECT_EQ(ini.ReadInteger("Setup", "SC_NUM", 0), 4);
}

TEST(IniFile, IntegersFollowTheToolkitRules) {
    const std::pair<const char*, int> cases[] = {
        {"12", 12},     {"+7", 7},          {"-3", -3},           {"$1F", 31},          {"0x10", 16},
        {"0X1f", 31},   {"-$10", -16},      {"2147483647", INT_MAX}, {"-2147483648", INT_MIN},
        {"2147483648", -99}, {"99999999999999999999", -99}, {"1 2", -99}, {"12abc", -99},
        {"abc", -99},   {"", -99},          {"$", -99},           {"0x", -99},          {"-", -99},
    };
    for (const auto& [text, expected] : cases) {
        int value = -99;
        if (!launcher::ParseIniInteger(text, value)) value = -99;
        EXPECT_EQ(value, expected) << '"' << text << '"';
    }
    test::TempDir dir;
    const IniFile ini(dir.path() / "Setup.ini");
    WriteFile(ini.path(), "[Setup]\nA = \"0x20\"\nB=junk\n");
    EXPECT_EQ(ini.ReadInteger("Setup", "A", 5), 32);
    EXPECT_EQ(ini.ReadInteger("Setup", "B", 5), 5);
}

}  // namespace
