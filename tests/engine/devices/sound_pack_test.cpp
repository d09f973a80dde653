#include "engine/devices/sound_pack.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "platform/safe_file.h"

#include "platform/little_endian.h"
#include "tests/support/damaged_data.h"
#include "tests/support/temp_dir.h"

namespace {

platform::WaveFormat Mono16() { return platform::PcmFormat(1, 16, 22050); }

KsdSound Entry(const std::string& name, std::vector<uint8_t> data) { return {name, Mono16(), std::move(data)}; }

struct KsdTest : ::testing::Test {
    test::TempDir dir;
    std::string path = dir.file("pack.dat");

    KsdLookup Find(const char* key, KsdEntry* entry) {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        EXPECT_NE(file, nullptr);
        KsdLookup result = FindKsdEntry(file, key, entry);
        std::fclose(file);
        return result;
    }
    // Patches the u32 at `offset` of the written pack.
    void PatchU32(long offset, uint32_t value) {
        std::FILE* file = std::fopen(path.c_str(), "r+b");
        std::fseek(file, offset, SEEK_SET);
        uint8_t bytes[4];
        platform::WriteLe32(bytes, value);
        std::fwrite(bytes, 1, 4, file);
        std::fclose(file);
    }
};

TEST_F(KsdTest, FindsTheThirdEntryAndLeavesTheStreamAtItsSamples) {
    ASSERT_TRUE(WriteKsdPack(path, {Entry("a", {1, 2}), Entry("bb", {3, 4, 5, 6}), Entry("ccc", {7, 8, 9, 10})}));
    std::FILE* file = std::fopen(path.c_str(), "rb");
    KsdEntry entry;
    ASSERT_EQ(FindKsdEntry(file, "ccc", &entry), KsdLookup::Found);
    EXPECT_EQ(entry.dataSize, 4u);
    EXPECT_EQ(entry.format.samplesPerSec, 22050u);
    EXPECT_EQ(entry.format.blockAlign, 2);
    uint8_t data[4];
    ASSERT_EQ(std::fread(data, 1, 4, file), 4u);
    EXPECT_EQ(data[0], 7);
    EXPECT_EQ(data[3], 10);
    std::fclose(file);
}

TEST_F(KsdTest, FailuresTellWhy) {
    ASSERT_TRUE(WriteKsdPack(path, {Entry("one", {1, 2}), Entry("empty", {}), Entry("Two", {3, 4})}));
    KsdEntry entry;
    EXPECT_EQ(Find("two", &entry), KsdLookup::NoData);  // keys are case-sensitive
    EXPECT_EQ(Find("on", &entry), KsdLookup::NoData);
    EXPECT_EQ(Find("empty", &entry), KsdLookup::NoData);
    EXPECT_EQ(Find("Two", &entry), KsdLookup::Found);

    std::ofstream(path, std::ios::binary) << "KSE";
    EXPECT_EQ(Find("one", &entry), KsdLookup::BadMagic);
    std::ofstream(path, std::ios::binary).write("KSD\0", 4);
    EXPECT_EQ(Find("one", &entry), KsdLookup::Damaged);
    EXPECT_STREQ(entry.damage, "it holds no sounds");
}

TEST_F(KsdTest, LyingDataSizesAreBoundedByTheFile) {
    ASSERT_TRUE(WriteKsdPack(path, {Entry("first", {1, 2}), Entry("last", {3, 4, 5, 6})}));
    const long lastEntry = 4 + 54 + 2;
    KsdEntry entry;

    PatchU32(lastEntry + 32, 0xFFFFFFF0u);  // far more than the file holds
    ASSERT_EQ(Find("last", &entry), KsdLookup::Found);
    EXPECT_EQ(entry.dataSize, 4u);
    EXPECT_STREQ(entry.damage, "an entry runs past the end of the file");
    ASSERT_EQ(Find("first", &entry), KsdLookup::Found);
    EXPECT_EQ(entry.damage, nullptr) << "a lookup names only the damage it passes";

    PatchU32(4 + 32, 0xFFFFFFF0u);  // a skipped entry that jumps past the end
    EXPECT_EQ(Find("last", &entry), KsdLookup::Damaged);
    EXPECT_STREQ(entry.damage, "an entry runs past the end of the file");
}

// The whole pack is checked once when the game first reads it: damage past
// the sounds that a lookup passes is found too, and a whole pack shows none.
TEST_F(KsdTest, TheWholePacksDamageIsFound) {
    const std::vector<KsdSound> sounds = {Entry("first", {1, 2}), Entry("second", {3, 4, 5, 6}), Entry("last", {7, 8})};
    ASSERT_TRUE(WriteKsdPack(path, sounds));
    const std::vector<uint8_t> whole = test::ReadBinaryFile(path);
    const struct {
        std::vector<uint8_t> bytes;
        const char* damage;
    } cases[] = {
        {whole, nullptr},
        {std::vector<uint8_t>(whole.begin(), whole.end() - 1), "an entry runs past the end of the file"},
        {std::vector<uint8_t>(whole.begin(), whole.end() - 46), "it is cut short inside an entry"},
        {std::vector<uint8_t>(whole.begin(), whole.begin() + 4), "it holds no sounds"},
        {{'K', 'S', 'E', 0}, "it is not a sound pack"},
    };
    for (const auto& c : cases) {
        test::WriteBinaryFile(path, c.bytes);
        std::FILE* file = std::fopen(path.c_str(), "rb");
        ASSERT_NE(file, nullptr);
        const char* damage = IndexKsdPack(file).damage;
        KsdEntry entry;
        EXPECT_EQ(FindKsdEntry(file, "first", &entry) == KsdLookup::Found, c.bytes.size() > 60);
        std::fclose(file);
        if (c.damage) EXPECT_STREQ(damage, c.damage) << c.bytes.size();
        else EXPECT_EQ(damage, nullptr);
    }
}

// A pack some moments old is read through the index kept from an earlier
// read; a change of any kind since must be seen.
TEST_F(KsdTest, APackChangedAfterItWasReadIsReadAsItIsNow) {
    namespace fs = std::filesystem;
    const std::vector<KsdSound> before = {Entry("k", {1, 1}), Entry("other", {3, 3})};
    // The same size with the entries swapped: an old index would find "other".
    const std::vector<KsdSound> after = {Entry("other", {4, 4}), Entry("k", {2, 2})};
    const struct {
        const char* name;
        std::function<void(const std::string&)> change;
        int found;  // the first sample byte, or -1 when the key is not found
    } cases[] = {
        {"unchanged", [](const std::string&) {}, 1},
        {"replaced by another file",
         [&](const std::string& pack) {
             ASSERT_TRUE(WriteKsdPack(dir.file("next.dat"), after));
             fs::rename(dir.file("next.dat"), pack);
         },
         2},
        {"rewritten in place with its old modification time",
         [&](const std::string& pack) {
             const auto modified = fs::last_write_time(pack);
             ASSERT_TRUE(WriteKsdPack(dir.file("next.dat"), after));
             const std::vector<uint8_t> bytes = test::ReadBinaryFile(dir.file("next.dat"));
             std::ofstream(pack, std::ios::binary | std::ios::in)
                 .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
             fs::last_write_time(pack, modified);
         },
         2},
        {"cut short in place", [&](const std::string& pack) { fs::resize_file(pack, 20); }, -1},
    };
    std::vector<std::string> packs;
    for (const auto& c : cases) {
        packs.push_back(dir.file(std::string(c.name) + ".dat"));
        ASSERT_TRUE(WriteKsdPack(packs.back(), before));
    }
    const auto find = [](const std::string& pack, const char* key) {
        platform::FilePtr file = platform::OpenRegularFile(pack);
        KsdEntry entry;
        if (!file || FindKsdEntry(file.get(), *KsdPackIndex(pack, file.get()), key, &entry) != KsdLookup::Found)
            return -1;
        const int first = std::fgetc(file.get());
        return first == EOF ? -2 : first;  // found, but past the end of the file
    };
    // Wait until the files are old enough for their index to be kept.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    platform::FileVersion version;
    while (platform::VersionOf(platform::OpenRegularFile(packs.back()).get(), &version) &&
           !platform::IsSettled(version) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_TRUE(platform::IsSettled(version));
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].name);
        ASSERT_EQ(find(packs[i], "k"), 1);
        ASSERT_EQ(find(packs[i], "other"), 3);
        cases[i].change(packs[i]);
        EXPECT_EQ(find(packs[i], "k"), cases[i].found);
    }
}

TEST_F(KsdTest, NamesAreComparedWithinTheirThirtyTwoBytes) {
    const std::string longest(31, 'x');
    ASSERT_TRUE(WriteKsdPack(path, {Entry(longest, {1, 2})}));
    KsdEntry entry;
    EXPECT_EQ(Find(longest.c_str(), &entry), KsdLookup::Found);
    // A stored name that fills all 32 bytes has no NUL; the compare stops there.
    {
        std::FILE* file = std::fopen(path.c_str(), "r+b");
        std::fseek(file, 4 + 31, SEEK_SET);
        std::fputc('y', file);
        std::fclose(file);
    }
    EXPECT_EQ(Find((longest + "y").c_str(), &entry), KsdLookup::Found);
    EXPECT_EQ(Find((longest + "yz").c_str(), &entry), KsdLookup::Found);
    EXPECT_FALSE(WriteKsdPack(path, {Entry(std::string(32, 'n'), {1, 2})}));
}

// A RIFF image built chunk by chunk.
struct Riff {
    std::vector<uint8_t> bytes;
    Riff() {
        static const char kHead[] = "RIFF\0\0\0\0WAVE";
        bytes.assign(kHead, kHead + 12);
    }
    Riff& Chunk(const char* tag, std::vector<uint8_t> body, uint32_t claimed = UINT32_MAX) {
        bytes.insert(bytes.end(), tag, tag + 4);
        uint32_t length = claimed == UINT32_MAX ? static_cast<uint32_t>(body.size()) : claimed;
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(length >> (8 * i)));
        bytes.insert(bytes.end(), body.begin(), body.end());
        return *this;
    }
    static std::vector<uint8_t> Fmt(size_t size, uint16_t tag = 1) {
        uint8_t encoded[WAVE_FORMAT_SIZE];
        platform::WaveFormat format = Mono16();
        format.formatTag = tag;
        format.cbSize = 7;
        EncodeWaveFormat(format, encoded);
        std::vector<uint8_t> body(encoded, encoded + std::min(size, WAVE_FORMAT_SIZE));
        body.resize(size, 0);
        return body;
    }
};

TEST(RiffWave, PcmFormatAndFirstDataChunk) {
    Riff riff;
    riff.Chunk("LIST", {1, 2, 3}).Chunk("fmt ", Riff::Fmt(16)).Chunk("data", {9, 8, 7, 6}).Chunk("data", {1});
    RiffWave wave = ParseRiffWave(riff.bytes.data(), riff.bytes.size());
    EXPECT_EQ(wave.format.samplesPerSec, 22050u);
    EXPECT_EQ(wave.format.bitsPerSample, 16);
    EXPECT_EQ(wave.format.cbSize, 0);
    EXPECT_EQ(wave.samples, (std::vector<uint8_t>{9, 8, 7, 6}));
}

TEST(RiffWave, OtherTagsKeepTheirCbSize) {
    Riff riff;
    riff.Chunk("fmt ", Riff::Fmt(18, 3)).Chunk("data", {1, 2});
    EXPECT_EQ(ParseRiffWave(riff.bytes.data(), riff.bytes.size()).format.cbSize, 7);
}

TEST(RiffWave, DamagedImagesGiveNoSamples) {
    struct Case { const char* what; std::vector<uint8_t> bytes; size_t expected; } cases[] = {
        {"no data chunk", Riff().Chunk("fmt ", Riff::Fmt(16)).bytes, 0},
        {"not WAVE", [] { Riff r; r.bytes[8] = 'X'; r.Chunk("data", {1}); return r.bytes; }(), 0},
        {"too short", {'R', 'I', 'F', 'F'}, 0},
        {"chunk past the end", Riff().Chunk("LIST", {1}, 0x7FFFFFFF).Chunk("data", {1}).bytes, 0},
        {"data past the end", Riff().Chunk("data", {1, 2, 3}, 0xFFFFFFFF).bytes, 3},
        {"truncated chunk header", [] { Riff r; r.bytes.insert(r.bytes.end(), {'d', 'a', 't'}); return r.bytes; }(), 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseRiffWave(c.bytes.data(), c.bytes.size()).samples.size(), c.expected) << c.what;
}

}  // namespace
