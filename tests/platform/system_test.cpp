#include "platform/system.h"

#include <gtest/gtest.h>

namespace {

TEST(FolderOfTest, CutsAtTheLastSeparator) {
    struct Case {
        std::string path, folder;
    };
    for (const Case& c : {Case{"/a/b/game", "/a/b"}, Case{"/game", "/"}, Case{"game", "game"}, Case{"a/", "a"}}) {
        EXPECT_EQ(platform::FolderOf(c.path), c.folder) << c.path;
    }
}

TEST(ProgramFolderTest, IsTheFolderOfTheRunningProgram) {
    const std::string& path = platform::ProgramPath();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.rfind(platform::ProgramFolder() + "/", 0), 0u);
    EXPECT_EQ(path.find('/', platform::ProgramFolder().size() + 1), std::string::npos);
}

TEST(SystemInfoTest, ReportsMemoryAndOs) {
    platform::MemoryStatus memory = platform::GetPhysicalMemory();
    EXPECT_GT(memory.totalBytes, 0u);
    EXPECT_LE(memory.availableBytes, memory.totalBytes);
    platform::OsVersion version;
    ASSERT_TRUE(platform::GetOsVersion(&version));
    EXPECT_EQ(version.name, "Linux");
    EXPECT_GT(version.major, 0);
}

}  // namespace
