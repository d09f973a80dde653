#include "platform/paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/temp_dir.h"

namespace {

struct SlashCase {
    const char* name;
    std::string in;
    std::string out;
};

class ToSlashPathTest : public testing::TestWithParam<SlashCase> {};

TEST_P(ToSlashPathTest, MapsSeparatorsOnly) { EXPECT_EQ(platform::ToSlashPath(GetParam().in), GetParam().out); }

// 0x95 0x5C is a two-byte character whose trail byte is a backslash.
INSTANTIATE_TEST_SUITE_P(
    Cases, ToSlashPathTest,
    testing::Values(SlashCase{"Separators", "gf\\system.dat", "gf/system.dat"},
                    SlashCase{"Empty", "", ""},
                    SlashCase{"Doubled", "a\\\\b", "a//b"},
                    SlashCase{"TrailByteKept", "\x95\x5c\\x", "\x95\x5c/x"},
                    SlashCase{"TrailByteAtEnd", "dir\\\x95\x5c", "dir/\x95\x5c"},
                    SlashCase{"LoneLeadByteBeforeSeparator", "a\x95", "a\x95"}),
    [](const testing::TestParamInfo<SlashCase>& info) { return info.param.name; });

class ResolvePathTest : public testing::Test {
protected:
    void MakeFile(const std::string& relative) {
        std::filesystem::path path = dir.path() / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path) << "x";
    }
    std::string Windows(const std::string& relative) { return dir.path().string() + "\\" + relative; }
    std::string Native(const std::string& relative) { return (dir.path() / relative).string(); }

    test::TempDir dir;
};

TEST_F(ResolvePathTest, FindsElementsWhoseCaseDiffers) {
    MakeFile("GF/System.DAT");
    EXPECT_EQ(platform::ResolvePath(Windows("gf\\system.dat")), Native("GF/System.DAT"));
}

TEST_F(ResolvePathTest, KeepsAMissingLastElementForCreation) {
    std::filesystem::create_directories(dir.path() / "Screen");
    EXPECT_EQ(platform::ResolvePath(Windows("screen\\screen00.bmp")), Native("Screen/screen00.bmp"));
    EXPECT_EQ(platform::ResolvePath(Windows("replay\\a.rpl")), Native("replay/a.rpl"));
}

TEST_F(ResolvePathTest, PrefersTheExactName) {
    MakeFile("data/a.dat");
    MakeFile("data/A.dat");
    EXPECT_EQ(platform::ResolvePath(Windows("data\\A.dat")), Native("data/A.dat"));
    EXPECT_EQ(platform::ResolvePath(Windows("data\\a.dat")), Native("data/a.dat"));
}

// 0x83 0x41 and 0x83 0x61 are two different katakana whose trail bytes are
// the letters A and a: they must not be folded into one another.
TEST_F(ResolvePathTest, NeverFoldsTrailBytes) {
    MakeFile("\x83\x41.dat");
    EXPECT_EQ(platform::ResolvePath(Windows("\x83\x61.dat")), Native("\x83\x61.dat"));
    EXPECT_EQ(platform::ResolvePath(Windows("\x83\x41.DAT")), Native("\x83\x41.dat"));
}

}  // namespace
