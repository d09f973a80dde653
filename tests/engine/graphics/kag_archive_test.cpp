#include "engine/graphics/kag_archive.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "engine/graphics/image.h"
#include "platform/safe_file.h"
#include "tests/support/temp_dir.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A 2x1 picture in format 1 whose first byte tells which entry it came from.
Bytes Marked(uint8_t mark) { return {mark, 0, 0, 255, 0, 0, 0, 255}; }

void PutU32(Bytes& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// A hand-made entry head, for headers the writer would never produce.
// The name is copied into its 16-byte field as it stands, without a terminator
// when it fills the field.
Bytes EntryHead(const std::string& name, uint32_t w, uint32_t h, uint32_t format, uint32_t stored) {
    Bytes out(16, 0);
    std::memcpy(out.data(), name.data(), std::min<size_t>(name.size(), 16));
    PutU32(out, w);
    PutU32(out, h);
    PutU32(out, format);
    PutU32(out, stored);
    return out;
}

class KagArchiveTest : public ::testing::Test {
protected:
    std::string Write(const Bytes& bytes, const char* name = "a.dat") {
        std::string path = dir.file(name);
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return path;
    }
    std::string Write(const KagWriter& w) { return Write(w.Bytes()); }

    // The mark of the entry that `key` finds, or -1 when it is missing.
    int Find(const std::string& path, const char* key) {
        platform::ZeroedBytes data;
        if (ReadArchiveEntry(path.c_str(), key, nullptr, nullptr, &data, nullptr, nullptr) == 0) return -1;
        return data.at(0);
    }

    test::TempDir dir;
};

TEST_F(KagArchiveTest, LooksKeysUpByExactNameFirstMatchWinning) {
    KagWriter w;
    w.Add("first", 2, 1, IMAGE_PIXEL_32_LZSS, Marked(1).data());
    w.Add("Upper", 2, 1, IMAGE_PIXEL_32, Marked(2).data());
    w.Add("twin", 2, 1, IMAGE_PIXEL_32, Marked(3).data());
    w.Add("twin", 2, 1, IMAGE_PIXEL_32, Marked(4).data());
    w.Add("abcdefghijklmno", 2, 1, IMAGE_PIXEL_32_LZSS, Marked(5).data());
    std::string path = Write(w);
    EXPECT_EQ(Find(path, "first"), 1);
    EXPECT_EQ(Find(path, "twin"), 3);
    EXPECT_EQ(Find(path, "abcdefghijklmno"), 5);  // found past the LZSS entries
    EXPECT_EQ(Find(path, "abcdefghijklmnop"), -1);
    EXPECT_EQ(Find(path, "Upper"), 2);
    EXPECT_EQ(Find(path, "firs"), -1);
    EXPECT_EQ(Find(path, "missing"), -1);
}

TEST_F(KagArchiveTest, ReadsTheHeaderAloneWhenNoDataIsAsked) {
    KagWriter w;
    Bytes px(3 * 5 * 8, 7);
    w.Add("wide", 3, 5, IMAGE_PIXEL_64_LZSS, px.data());
    std::string path = Write(w);
    int width = 0, height = 0, format = 0;
    EXPECT_EQ(ReadArchiveEntry(path.c_str(), "wide", &width, &height, nullptr, &format, nullptr), 3 * 5 * 8);
    EXPECT_EQ(width, 3);
    EXPECT_EQ(height, 5);
    EXPECT_EQ(format, IMAGE_PIXEL_64_LZSS);
}

TEST_F(KagArchiveTest, BackslashesInTheArchivePathSeparateFolders) {
    std::filesystem::create_directory(dir.path() / "gf");
    KagWriter w;
    w.Add("k", 2, 1, IMAGE_PIXEL_32, Marked(9).data());
    ASSERT_TRUE(w.WriteFile(dir.file("gf/x.dat")));
    EXPECT_EQ(Find(dir.path().string() + "/gf\\x.dat", "k"), 9);
}

TEST(DataSize, FollowsTheFormatTable) {
    EXPECT_EQ(GetDataSize(3, 2, IMAGE_PIXEL_16), 12);
    EXPECT_EQ(GetDataSize(3, 2, IMAGE_PIXEL_FLOAT_LZSS), 96);
    EXPECT_EQ(GetDataSize(3, 2, 8), 0);
    EXPECT_EQ(GetDataSize(3, 2, -1), 0);
    EXPECT_EQ(GetDataSize(16384, 16384, IMAGE_PIXEL_FLOAT), int64_t{1} << 32);  // no int overflow
    EXPECT_TRUE(IsCompressedFormat(4));
    EXPECT_FALSE(IsCompressedFormat(3));
    EXPECT_FALSE(IsCompressedFormat(8));
}

// Files that are not archives, or archives that are damaged or hostile: the
// reader reports the entry missing or reads it safely, never crashes.
TEST_F(KagArchiveTest, RejectsWhatIsNotAnArchive) {
    Bytes badMagic = {'K', 'A', 'X', 0, 0, 0, 0, 0};
    Bytes bare = {'K', 'A', 'G', 0, 0, 0, 0, 0};
    Bytes tooShort = {'K', 'A', 'G'};
    for (const Bytes& b : {badMagic, bare, tooShort}) EXPECT_EQ(Find(Write(b), "k"), -1);
    EXPECT_EQ(Find(dir.file("none.dat"), "k"), -1);
}

struct HostileCase {
    const char* name;
    Bytes file;
};

Bytes Archive(std::initializer_list<Bytes> parts) {
    Bytes all = {'K', 'A', 'G', 0, 0, 0, 0, 0};
    for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

class HostileArchive : public KagArchiveTest, public ::testing::WithParamInterface<HostileCase> {};

TEST_P(HostileArchive, KeyIsReportedMissing) { EXPECT_EQ(Find(Write(GetParam().file), "k"), -1); }

INSTANTIATE_TEST_SUITE_P(
    Files, HostileArchive,
    ::testing::Values(
        // An earlier entry claims more data than the file holds.
        HostileCase{"LyingStoredSizeBeforeKey", Archive({EntryHead("x", 1, 1, 1, 0x7FFFFFF0), {1, 2, 3, 4},
                                                         EntryHead("k", 1, 1, 1, 4), {1, 2, 3, 4}})},
        HostileCase{"StoredSizePastEndOfFile", Archive({EntryHead("k", 1, 1, 1, 400), {1, 2, 3, 4}})},
        HostileCase{"RawDataShorterThanPicture", Archive({EntryHead("k", 4, 4, 1, 4), {1, 2, 3, 4}})},
        HostileCase{"AbsurdSides", Archive({EntryHead("k", 0x10000, 0x10000, 7, 4), {0, 0, 0, 0}})},
        HostileCase{"SideAboveLimit", Archive({EntryHead("k", 16385, 1, 5, 4), {0, 0, 0, 0}})},
        HostileCase{"UnknownFormat", Archive({EntryHead("k", 1, 1, 8, 16), Bytes(16, 0)})},
        // 100 stream bytes cannot hold a megapixel picture.
        HostileCase{"StreamFarTooShortForPicture", Archive({EntryHead("k", 1024, 1024, 5, 100), Bytes(100, 0)})},
        HostileCase{"TruncatedEntryHeader", Archive({Bytes(20, 'k')})}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(KagArchiveTest, NameFillingItsWholeFieldIsSixteenCharactersLong) {
    // The bytes after the field (the width, 2) must not count as part of it.
    Bytes file = Archive({EntryHead("select_stagename", 2, 1, 1, 8), Marked(1), EntryHead("k", 2, 1, 1, 8), Marked(2)});
    std::string path = Write(file);
    EXPECT_EQ(Find(path, "select_stagename"), 1);
    EXPECT_EQ(Find(path, "select_stagenam"), -1);
    EXPECT_EQ(Find(path, std::string("select_stagename\x02").c_str()), -1);
    EXPECT_EQ(Find(path, "k"), 2);
}

TEST_F(KagArchiveTest, LzssStreamEndingEarlyLeavesTheRestZero) {
    // Two literals of a 4-byte picture, then the file ends.
    std::string path = Write(Archive({EntryHead("k", 2, 1, IMAGE_PIXEL_16_LZSS, 3), {0xFF, 0x12, 0x34}}));
    platform::ZeroedBytes data;
    ASSERT_EQ(ReadArchiveEntry(path.c_str(), "k", nullptr, nullptr, &data, nullptr, nullptr), 4);
    EXPECT_EQ(Bytes(data.begin(), data.end()), (Bytes{0x12, 0x34, 0, 0}));
}

// A file some moments old is read through the index of its entries kept
// from an earlier read; a change of any kind since must be seen.
TEST_F(KagArchiveTest, AnArchiveChangedAfterItWasReadIsReadAsItIsNow) {
    namespace fs = std::filesystem;
    KagWriter before;
    before.Add("k", 2, 1, IMAGE_PIXEL_32, Marked(1).data());
    before.Add("other", 2, 1, IMAGE_PIXEL_32, Marked(3).data());
    KagWriter after;  // the same size, the entries swapped: an old index would find "other"
    after.Add("other", 2, 1, IMAGE_PIXEL_32, Marked(4).data());
    after.Add("k", 2, 1, IMAGE_PIXEL_32, Marked(2).data());
    KagWriter grown;
    grown.Add("new", 2, 1, IMAGE_PIXEL_32, Marked(5).data());
    grown.Add("k", 2, 1, IMAGE_PIXEL_32, Marked(6).data());
    Bytes cut = before.Bytes();
    cut.resize(KAG_FILE_HEADER_SIZE + 20);
    const struct {
        const char* name;
        std::function<void(const std::string&)> change;
        int found;
        const char* said;  // on standard error
    } cases[] = {
        {"unchanged", [](const std::string&) {}, 1, ""},
        {"replaced by another file",
         [&](const std::string& path) {
             Write(after.Bytes(), "next.dat");
             fs::rename(dir.file("next.dat"), path);
         },
         2, ""},
        {"rewritten in place with its old modification time",
         [&](const std::string& path) {
             const auto modified = fs::last_write_time(path);
             std::ofstream(path, std::ios::binary | std::ios::in)
                 .write(reinterpret_cast<const char*>(after.Bytes().data()), after.Bytes().size());
             fs::last_write_time(path, modified);
         },
         2, ""},
        {"grown in place", [&](const std::string& path) { Write(grown.Bytes(), fs::path(path).filename().c_str()); }, 6,
         ""},
        {"cut short in place", [&](const std::string& path) { Write(cut, fs::path(path).filename().c_str()); }, -1,
         " is damaged: it is cut short inside an entry"},
    };
    std::vector<std::string> paths;
    for (const auto& c : cases) paths.push_back(Write(before.Bytes(), (std::string(c.name) + ".dat").c_str()));
    // Wait until the files are old enough for their index to be kept.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    platform::FileVersion version;
    while (platform::VersionOf(platform::OpenRegularFile(paths.back()).get(), &version) &&
           !platform::IsSettled(version) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_TRUE(platform::IsSettled(version));
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].name);
        ASSERT_EQ(Find(paths[i], "k"), 1);
        ASSERT_EQ(Find(paths[i], "other"), 3);
        cases[i].change(paths[i]);
        testing::internal::CaptureStderr();
        EXPECT_EQ(Find(paths[i], "k"), cases[i].found);
        const std::string said = testing::internal::GetCapturedStderr();
        if (*cases[i].said) EXPECT_NE(said.find(paths[i] + cases[i].said), std::string::npos) << said;
        else EXPECT_EQ(said, "");
    }
}

}  // namespace
