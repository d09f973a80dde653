// A picture archive that cannot be used is named once on standard error with
// what to do; pictures before damage still load, and nothing is said of a
// whole archive that lacks a key.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "engine/graphics/kag_archive.h"
#include "platform/system.h"
#include "tests/support/damaged_data.h"
#include "tests/support/hostile_files.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// Ten 16 x 16 pictures "p0" to "p9", raw.
std::vector<uint8_t> WholeArchive() {
    KagWriter writer;
    const std::vector<uint8_t> pixels(16 * 16 * 4, 0x80);
    for (int i = 0; i < 10; ++i) writer.Add("p" + std::to_string(i), 16, 16, IMAGE_PIXEL_32, pixels.data());
    return writer.Bytes();
}

int64_t Lookup(const std::string& archive, const char* key) {
    return ReadArchiveEntry(archive.c_str(), key, nullptr, nullptr, nullptr, nullptr, nullptr);
}

TEST(UnusableArchive, EachKindOfDamageIsNamedOnceWithTheCommandThatWritesData) {
    test::TempDir dir;
    struct Case {
        std::string what;
        std::function<void(const std::string&)> make;
        const char* said;
    };
    std::vector<Case> cases = {
        {"missing", [](const std::string&) {}, " is missing"},
        {"no archive", [](const std::string& p) { test::PutText(p, std::string(64, 'x')); },
         " is damaged: it is not a picture archive"},
        {"FIFO", [](const std::string& p) { test::MakeFifo(p); }, " is not a regular file"},
    };
    const char* const damageSaid[] = {" is damaged: it holds no pictures", " is damaged: an entry runs past the end",
                                      " is damaged: an entry runs past the end",
                                      " is damaged: an entry runs past the end",
                                      " is damaged: an entry runs past the end"};
    for (size_t i = 0; i < std::size(test::kEveryDamage); ++i) {
        const test::Damage damage = test::kEveryDamage[i];
        cases.push_back({test::DamageName(damage),
                         [damage](const std::string& p) {
                             test::WriteBinaryFile(p, test::Damaged(WholeArchive(), damage, test::kKagLayout));
                         },
                         damageSaid[i]});
    }
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].what);
        const std::string archive = dir.file("archive" + std::to_string(i) + ".dat");
        cases[i].make(archive);
        testing::internal::CaptureStderr();
        for (int round = 0; round < 3; ++round) EXPECT_EQ(Lookup(archive, "p9"), 0);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(test::CountOf(said, archive + cases[i].said), 1u) << said;
        // The test program's folder holds the datagen the build writes.
        EXPECT_EQ(test::CountOf(said, "with: " + platform::ProgramFolder() + "/datagen "), 1u) << said;
    }
}

// The first look names damage far behind the picture asked for; what lies
// before it still loads.
TEST(UnusableArchive, PicturesBeforeDamageLoadAndTheDamageIsNamedAtOnce) {
    test::TempDir dir;
    const std::string archive = dir.file("half.dat");
    test::WriteBinaryFile(archive, test::Damaged(WholeArchive(), test::Damage::CutTo50, test::kKagLayout));
    testing::internal::CaptureStderr();
    EXPECT_EQ(Lookup(archive, "p0"), 16 * 16 * 4);
    EXPECT_EQ(Lookup(archive, "p1"), 16 * 16 * 4);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(test::CountOf(said, archive + " is damaged: "), 1u) << said;
}

TEST(UnusableArchive, AWholeArchiveThatLacksAKeyNamesNothing) {
    test::TempDir dir;
    const std::string archive = dir.file("whole.dat");
    test::WriteBinaryFile(archive, WholeArchive());
    testing::internal::CaptureStderr();
    EXPECT_EQ(Lookup(archive, "p9"), 16 * 16 * 4);
    EXPECT_EQ(Lookup(archive, "absent"), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

}  // namespace
