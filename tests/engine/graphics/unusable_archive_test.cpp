// A picture archive that cannot be used is named once on standard error with
// what to do, and reading from it fails at once.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "engine/graphics/kag_archive.h"
#include "tests/support/hostile_files.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

TEST(UnusableArchive, IsNamedOnceWithTheCommandThatWritesData) {
    test::TempDir dir;
    const std::string missing = dir.file("missing.dat");
    const std::string damaged = dir.file("damaged.dat");
    const std::string fifo = dir.file("fifo.dat");
    test::PutText(damaged, std::string(64, 'x'));
    test::MakeFifo(fifo);
    testing::internal::CaptureStderr();
    for (int round = 0; round < 3; ++round) {
        for (const std::string& archive : {missing, damaged, fifo}) {
            EXPECT_EQ(ReadArchiveEntry(archive.c_str(), "title", nullptr, nullptr, nullptr, nullptr, nullptr), 0);
        }
    }
    const std::string said = testing::internal::GetCapturedStderr();
    for (const std::string& archive : {missing, damaged, fifo}) EXPECT_EQ(Count(said, archive + " is missing"), 1u) << said;
    EXPECT_EQ(Count(said, "datagen"), 3u) << said;
}

}  // namespace
