#include "game/flow/replay_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/hostile_files.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

void SetI32(Bytes& b, size_t offset, int32_t v) {
    for (int i = 0; i < 4; ++i) b[offset + i] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
}

void SetBytes(Bytes& b, size_t offset, std::initializer_list<uint8_t> values) {
    std::copy(values.begin(), values.end(), b.begin() + static_cast<std::ptrdiff_t>(offset));
}

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

platform::LocalTime SavingTime() { return {2026, 3, 5, 7, 9}; }

const ReplayMatch kMatch{3, 7, 1, 0, 6, 2, 1, 4321, 0};

// The file of kMatch with three frames, saved at SavingTime() with side 1 the
// winner, spelled out byte by byte.
Bytes ExpectedFile() {
    Bytes b(1112 + 12, 0);
    SetBytes(b, 0, {0xD1, 0x07, 0x00, 0x00});            // 2001
    SetBytes(b, 4, {'V', 'e', 'r', '1', '.', '0', 0});   // version text
    SetI32(b, 24, 3);
    SetI32(b, 28, 7);
    SetI32(b, 32, 1);
    SetI32(b, 36, 0);
    SetI32(b, 40, 1);     // winner side
    SetI32(b, 44, 6);     // stage
    SetI32(b, 48, 2);     // mode
    SetI32(b, 52, 1);     // difficulty
    SetI32(b, 56, 1234);  // best combo damage
    SetI32(b, 60, 17);    // best combo hits
    SetI32(b, 64, 4321);  // seed
    SetBytes(b, 68, {0x82, 0xb1, 0x82, 0xb1, 0x82, 0xc9, 0x83, 0x52, 0x83, 0x81, 0x83, 0x93, 0x83, 0x67,
                     0x82, 0xaa, 0x93, 0xfc, 0x82, 0xe8, 0x82, 0xdc, 0x82, 0xb7, 0x81, 0x42, 0x00});
    SetBytes(b, 1092, {2, 0, 2, 6, 255, 3, 255, 5, 255, 7, 255, 9});
    SetBytes(b, 1112, {0x10, 0x00, 0x00, 0x00, 0x4f, 0x04, 0x01, 0x80, 0xff, 0xff, 0x34, 0x12});
    return b;
}

void RecordFrames(const std::vector<std::pair<InputWord, InputWord>>& frames) {
    for (const auto& [side0, side1] : frames) {
        RecordReplayInput(0, side0);
        RecordReplayInput(1, side1);
    }
}

// Each test runs in a fresh current folder (the game's program folder) with a
// fixed clock and a cleared replay state.
class ReplayFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = fs::current_path();
        fs::current_path(dir_.path());
        SetLocalTimeSource(SavingTime);
        replayHeader = ReplayHeader{};
        for (auto& list : replayInputs) list.clear();
        replayPlayback = 0;
        replayFileName[0] = '\0';
    }
    void TearDown() override {
        SetLocalTimeSource(nullptr);
        fs::current_path(previous_);
    }

    void Touch(const std::string& name) {
        fs::create_directories(dir_.path() / "replay");
        WriteFile(dir_.path() / "replay" / name, {});
    }

    void RecordFixtureBattle() {
        StartReplayRecording(kMatch);
        RecordFrames({{0x0010, 0x0000}, {0x044f, 0x8001}, {0xffff, 0x1234}});
    }

    fs::path Replay(const std::string& name) const { return dir_.path() / "replay" / name; }

    test::TempDir dir_;
    fs::path previous_;
};

TEST_F(ReplayFileTest, SavedFileMatchesTheFormatByteForByte) {
    RecordFixtureBattle();
    ASSERT_TRUE(MakeReplayFileName(replayFileName));
    ASSERT_TRUE(WriteReplayFile({1, 1234, 17}));
    EXPECT_EQ(ReadFile(Replay("tobra000.rpl")), ExpectedFile());
}

TEST_F(ReplayFileTest, RecordingStartsFromAZeroedHeader) {
    // A replay played earlier in the run leaves its text tails and reserved
    // bytes in memory; a new recording must not carry them into its file.
    Bytes old = ExpectedFile();
    std::memset(old.data() + 68, 'x', 1024);
    std::memset(old.data() + 4, 'y', 20);
    std::memset(old.data() + 1104, 0xEE, 8);
    fs::create_directories(dir_.path() / "replay");
    WriteFile(Replay("old.rpl"), old);
    ASSERT_EQ(ReadReplayFile("replay\\old.rpl"), 0);

    RecordFixtureBattle();
    ASSERT_TRUE(MakeReplayFileName(replayFileName));
    ASSERT_TRUE(WriteReplayFile({1, 1234, 17}));
    EXPECT_EQ(ReadFile(Replay("tobra000.rpl")), ExpectedFile());
}

TEST_F(ReplayFileTest, TimeLimitFlagIsStoredInTheFirstReservedByte) {
    ReplayMatch match = kMatch;
    match.noTimeLimit = 1;
    StartReplayRecording(match);
    std::strcpy(replayFileName, "replay\\tobra000.rpl");
    ASSERT_TRUE(WriteReplayFile({0, 0, 0}));
    const Bytes file = ReadFile(Replay("tobra000.rpl"));
    ASSERT_EQ(file.size(), 1112u);
    EXPECT_EQ(file[1104], 1);
    EXPECT_EQ(Bytes(file.begin() + 1105, file.end()), Bytes(7, 0));
}

TEST_F(ReplayFileTest, WriteThenReadGivesTheRecordedBattle) {
    RecordFixtureBattle();
    RecordReplayInput(0, 0x0400);  // side 0 one frame ahead: only whole frames are saved
    ASSERT_TRUE(MakeReplayFileName(replayFileName));
    ASSERT_TRUE(WriteReplayFile({0, 99, 3}));
    const ReplayHeader saved = replayHeader;

    replayHeader = ReplayHeader{};
    for (auto& list : replayInputs) list.assign({7, 7, 7, 7, 7});
    ASSERT_EQ(ReadReplayFile(replayFileName), 0);
    EXPECT_EQ(std::memcmp(&replayHeader, &saved, sizeof saved), 0);
    EXPECT_EQ(replayInputs[0], (std::vector<InputWord>{0x0010, 0x044f, 0xffff}));
    EXPECT_EQ(replayInputs[1], (std::vector<InputWord>{0x0000, 0x8001, 0x1234}));
}

TEST_F(ReplayFileTest, NothingIsWrittenDuringPlayback) {
    RecordFixtureBattle();
    std::strcpy(replayFileName, "replay\\tobra000.rpl");
    replayPlayback = 1;
    EXPECT_FALSE(WriteReplayFile({1, 1234, 17}));
    EXPECT_FALSE(fs::exists(Replay("tobra000.rpl")));
}

TEST_F(ReplayFileTest, UnopenableFileLeavesTheHeaderAlone) {
    RecordFixtureBattle();
    WriteFile(dir_.path() / "replay", {1});  // a file where the folder belongs
    std::strcpy(replayFileName, "replay\\tobra000.rpl");
    const ReplayHeader before = replayHeader;
    EXPECT_FALSE(WriteReplayFile({1, 1234, 17}));
    EXPECT_EQ(std::memcmp(&replayHeader, &before, sizeof before), 0);
}

TEST_F(ReplayFileTest, FailedWriteRemovesThePartialFile) {
    RecordFixtureBattle();
    std::strcpy(replayFileName, "replay\\tobra000.rpl");
    {
        test::FailingWrites fail(REPLAY_HEADER_SIZE / 2);  // the disk fills halfway
        EXPECT_FALSE(WriteReplayFile({1, 1234, 17}));
    }
    EXPECT_TRUE(fs::is_empty(dir_.path() / "replay"));
}

struct NameCase {
    const char* label;
    std::vector<std::string> existing;
    const char* expected;
};

class ReplayFileNameTest : public ReplayFileTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(ReplayFileNameTest, TakesTheLowestFreeNumber) {
    for (const std::string& name : GetParam().existing) Touch(name);
    char name[REPLAY_FILE_NAME_SIZE];
    ASSERT_TRUE(MakeReplayFileName(name));
    EXPECT_STREQ(name, GetParam().expected);
}

std::vector<std::string> Sequence(int count) {
    std::vector<std::string> names;
    char name[32];
    for (int n = 0; n < count; ++n) {
        std::snprintf(name, sizeof name, "tobra%03d.rpl", n);
        names.emplace_back(name);
    }
    return names;
}

INSTANTIATE_TEST_SUITE_P(
    Names, ReplayFileNameTest,
    ::testing::Values(NameCase{"EmptyFolder", {}, "replay\\tobra000.rpl"},
                      NameCase{"AfterTwo", {"tobra000.rpl", "tobra001.rpl"}, "replay\\tobra002.rpl"},
                      NameCase{"FillsAGap", {"tobra000.rpl", "tobra002.rpl"}, "replay\\tobra001.rpl"},
                      NameCase{"IgnoresCase", {"TOBRA000.RPL", "other.rpl"}, "replay\\tobra001.rpl"},
                      NameCase{"TwoDigits", Sequence(42), "replay\\tobra042.rpl"},
                      NameCase{"ThreeDigits", Sequence(123), "replay\\tobra123.rpl"}),
    [](const ::testing::TestParamInfo<NameCase>& info) { return std::string(info.param.label); });

TEST_F(ReplayFileTest, FullFolderRefusesToSave) {
    for (const std::string& name : Sequence(REPLAY_FILE_NAME_COUNT)) Touch(name);
    WriteFile(Replay("tobra998.rpl"), {42});

    EXPECT_FALSE(MakeReplayFileName(replayFileName));
    EXPECT_STREQ(replayFileName, "");
    RecordFixtureBattle();
    EXPECT_FALSE(WriteReplayFile({1, 1234, 17}));
    EXPECT_EQ(ReadFile(Replay("tobra998.rpl")), Bytes{42});
    EXPECT_FALSE(fs::exists(Replay("tobra999.rpl")));
}

struct DateCase {
    platform::LocalTime time;
    std::vector<uint8_t> digits;
};

TEST(ReplayDateDigits, TensBelowTenAreBlank) {
    const DateCase cases[] = {
        {{2026, 3, 5, 7, 9}, {2, 0, 2, 6, 255, 3, 255, 5, 255, 7, 255, 9}},
        {{2005, 3, 7, 9, 5}, {2, 0, 0, 5, 255, 3, 255, 7, 255, 9, 255, 5}},
        {{2005, 10, 10, 12, 0}, {2, 0, 0, 5, 1, 0, 1, 0, 1, 2, 255, 0}},
        {{1999, 12, 31, 23, 59}, {1, 9, 9, 9, 1, 2, 3, 1, 2, 3, 5, 9}},
        {{2030, 1, 1, 0, 10}, {2, 0, 3, 0, 255, 1, 255, 1, 255, 0, 1, 0}},
    };
    for (const DateCase& c : cases) {
        uint8_t digits[REPLAY_DATE_DIGITS];
        FillDateDigits(c.time, digits);
        EXPECT_EQ(std::vector<uint8_t>(digits, digits + REPLAY_DATE_DIGITS), c.digits)
            << c.time.year << "-" << c.time.month << "-" << c.time.day << " " << c.time.hour << ":" << c.time.minute;
    }
}

TEST_F(ReplayFileTest, ReaderTakesWholeFramesOnly) {
    const struct {
        size_t tailBytes;
        size_t frames;
    } cases[] = {{0, 0}, {2, 0}, {4, 1}, {4 * 5 + 2, 5}, {4 * 5 + 3, 5}};
    for (const auto& c : cases) {
        Bytes file = ExpectedFile();
        file.resize(1112);
        for (size_t i = 0; i < c.tailBytes; ++i) file.push_back(static_cast<uint8_t>(i + 1));
        WriteFile(dir_.path() / "case.rpl", file);

        ASSERT_EQ(ReadReplayFile("case.rpl"), 0) << c.tailBytes;
        ASSERT_EQ(replayInputs[0].size(), c.frames) << c.tailBytes;
        ASSERT_EQ(replayInputs[1].size(), c.frames) << c.tailBytes;
        if (c.frames > 0) {
            EXPECT_EQ(replayInputs[0][0], 0x0201);
            EXPECT_EQ(replayInputs[1][0], 0x0403);
        }
        EXPECT_EQ(replayHeader.randomSeed, 4321);
    }
}

TEST_F(ReplayFileTest, ReaderAcceptsAnyFormatId) {
    Bytes file = ExpectedFile();
    SetI32(file, 0, 1999);
    WriteFile(dir_.path() / "old.rpl", file);
    ASSERT_EQ(ReadReplayFile("old.rpl"), 0);
    EXPECT_EQ(replayHeader.formatId, 1999);
    EXPECT_EQ(replayInputs[0].size(), 3u);
}

TEST_F(ReplayFileTest, RejectedFileLeavesHeaderAndListsEmpty) {
    const auto setField = [](size_t offset, int32_t value) {
        return [=](Bytes& b) { SetI32(b, offset, value); };
    };
    const struct {
        const char* what;
        std::function<void(Bytes&)> damage;
    } cases[] = {
        {"short header", [](Bytes& b) { b.resize(1111); }},
        {"empty file", [](Bytes& b) { b.clear(); }},
        {"side 0 character 0", setField(24, 0)},
        {"side 1 character 9", setField(28, 9)},
        {"negative character", setField(24, -1)},
        {"side 0 colour 2", setField(32, 2)},
        {"side 1 colour -1", setField(36, -1)},
        {"stage 9", setField(44, 9)},
        {"stage -1", setField(44, -1)},
        {"mode 5", setField(48, 5)},
        {"difficulty 3", setField(52, 3)},
        {"huge difficulty", setField(52, INT32_MIN)},
    };
    for (const auto& c : cases) {
        Bytes file = ExpectedFile();
        c.damage(file);
        WriteFile(dir_.path() / "bad.rpl", file);
        RecordFixtureBattle();  // a previous battle in memory

        EXPECT_EQ(ReadReplayFile("bad.rpl"), -1) << c.what;
        EXPECT_TRUE(replayInputs[0].empty() && replayInputs[1].empty()) << c.what;
        const ReplayHeader zero{};
        EXPECT_EQ(std::memcmp(&replayHeader, &zero, sizeof zero), 0) << c.what;
    }
}

TEST_F(ReplayFileTest, MissingFileIsRejected) {
    RecordFixtureBattle();
    EXPECT_EQ(ReadReplayFile("replay\\none.rpl"), -1);
    EXPECT_EQ(ReadReplayFile(nullptr), -1);
    EXPECT_TRUE(replayInputs[0].empty() && replayInputs[1].empty());
    EXPECT_EQ(replayHeader.p1CharacterId, 0);
}

TEST_F(ReplayFileTest, PlaybackGivesZeroOutsideTheRecording) {
    RecordFixtureBattle();
    const struct {
        int side;
        int32_t frame;
        InputWord word;
    } cases[] = {{0, 0, 0x0010}, {1, 1, 0x8001}, {0, 2, 0xffff}, {1, 2, 0x1234},
                 {0, 3, 0},      {1, -1, 0},     {2, 0, 0},      {-1, 0, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(PlaybackReplayInput(c.side, c.frame), c.word) << c.side << " " << c.frame;
    }
}

TEST_F(ReplayFileTest, NetworkMatchPlaysAsTwoPlayersWithTheNetworkTimeLimit) {
    const struct {
        int32_t recordedMode;
        uint8_t recordedNoTimeLimit;
        int32_t playedMode;
        uint8_t playedNoTimeLimit;
    } cases[] = {{3, 1, 1, 0}, {3, 0, 1, 0}, {1, 1, 1, 1}, {0, 0, 0, 0}, {4, 1, 4, 1}};
    for (const auto& c : cases) {
        ReplayMatch match = kMatch;
        match.gameMode = c.recordedMode;
        match.noTimeLimit = c.recordedNoTimeLimit;
        StartReplayRecording(match);

        const ReplayMatch played = GetPlaybackMatch();
        EXPECT_EQ(played.gameMode, c.playedMode) << c.recordedMode;
        EXPECT_EQ(played.noTimeLimit, c.playedNoTimeLimit) << c.recordedMode;
        EXPECT_EQ(played.p2CharacterId, 7);
        EXPECT_EQ(played.randomSeed, 4321);
    }
}

}  // namespace
