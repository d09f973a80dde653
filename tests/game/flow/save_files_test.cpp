#include "game/flow/save_files.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/little_endian.h"
#include "tests/support/temp_dir.h"

namespace {

using Bytes = std::vector<uint8_t>;

using platform::AppendLe16;

void PutI32(Bytes& b, int32_t v) { platform::AppendLe32(b, static_cast<uint32_t>(v)); }

void SetI32(Bytes& b, size_t offset, int32_t v) { platform::WriteLe32(b.data() + offset, static_cast<uint32_t>(v)); }

// The "config.dat" a first start writes, built byte by byte from the file's layout.
Bytes DefaultConfigBytes() {
    Bytes b = {1, 1, 0, 0, 0, 0, 0, 0};
    for (int side = 0; side < 2; ++side) {
        for (int32_t v : {300, 300, 0, 1, 2, 3, 4, 5, 7}) PutI32(b, v);
    }
    const std::string host = "127.0.0.1";
    b.insert(b.end(), host.begin(), host.end());
    b.resize(336, 0);
    AppendLe16(b, 59999);
    b.resize(348, 0);
    return b;
}

Bytes DefaultSystemBytes() {
    Bytes b(101, 0);
    for (int stage = 1; stage <= 5; ++stage) b[60 + stage] = 1;
    for (int character = 1; character <= 6; ++character) b[80 + character] = 1;
    return b;
}

// Runs each test in a fresh current folder, the program folder of the game.
class SaveFiles : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_.path());
        std::memset(&config, 0xCD, sizeof config);
        std::memset(&systemData, 0xCD, sizeof systemData);
        std::memset(rankingTables, 0xCD, sizeof rankingTables);
    }
    void TearDown() override { std::filesystem::current_path(previous_); }

    static Bytes ReadFile(const char* name) {
        std::ifstream in(name, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    static void WriteFile(const char* name, const Bytes& bytes) {
        std::ofstream out(name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

private:
    test::TempDir dir_;
    std::filesystem::path previous_;
};

TEST_F(SaveFiles, FirstStartCreatesConfigAndSystemDataButNoRanking) {
    LoadConfig();
    LoadSystemData();
    LoadRanking();

    const Bytes configBytes = ReadFile("config.dat");
    ASSERT_EQ(configBytes.size(), 348u);
    EXPECT_EQ(configBytes, DefaultConfigBytes());
    EXPECT_EQ(configBytes[336], 0x5F);
    EXPECT_EQ(configBytes[337], 0xEA);
    EXPECT_EQ(ReadFile("system.dat"), DefaultSystemBytes());
    EXPECT_FALSE(std::filesystem::exists("ranking.dat"));

    // The records in memory match what was written.
    EXPECT_EQ(std::memcmp(&config, configBytes.data(), sizeof config), 0);
    EXPECT_EQ(config.port, 59999);
    EXPECT_STREQ(config.peerHost, "127.0.0.1");
    EXPECT_EQ(config.pads[1].buttonT, 7);
    EXPECT_EQ(systemData.characterUnlocked[6], 1);
    EXPECT_EQ(systemData.characterUnlocked[7], 0);
}

TEST_F(SaveFiles, DefaultRankingCountsDownFromTenThousand) {
    LoadRanking();
    for (const RankingTable& table : rankingTables) {
        for (int k = 0; k < RANKING_ENTRIES; ++k) {
            EXPECT_EQ(table.entries[k].characterId, 1);
            EXPECT_EQ(table.entries[k].score, 10000 - 1000 * k);
            for (int32_t letter : table.entries[k].letters) EXPECT_EQ(letter, k + 1);
        }
    }
}

TEST_F(SaveFiles, ExistingConfigIsReadAndNeverRewritten) {
    Bytes custom = DefaultConfigBytes();
    custom[0] = 0;                          // windowed
    custom[344] = 1;                        // slow line
    custom[336] = 0x39, custom[337] = 0x30;  // port 12345
    SetI32(custom, 340, 1);                  // local side 1
    SetI32(custom, 8 + 8, 11);               // side 0's buttonZ
    std::strcpy(reinterpret_cast<char*>(custom.data()) + 80, "192.168.0.7");
    WriteFile("config.dat", custom);

    LoadConfig();
    EXPECT_EQ(config.fullScreen, 0);
    EXPECT_EQ(config.slowLine, 1);
    EXPECT_EQ(config.port, 12345);
    EXPECT_EQ(config.localSide, 1);
    EXPECT_EQ(config.pads[0].buttonZ, 11);
    EXPECT_STREQ(config.peerHost, "192.168.0.7");
    EXPECT_EQ(ReadFile("config.dat"), custom);
}

TEST_F(SaveFiles, HostileConfigLoadsToSafeValues) {
    Bytes hostile = DefaultConfigBytes();
    std::memset(hostile.data() + 80, 'A', 256);  // host without a NUL
    SetI32(hostile, 340, 7);                    // side 7
    SetI32(hostile, 8 + 8, 99);                 // side 0's buttonZ
    SetI32(hostile, 44 + 8 + 6 * 4, -3);        // side 1's buttonT
    SetI32(hostile, 44 + 8 + 5 * 4, 15);        // side 1's buttonS, the last button
    WriteFile("config.dat", hostile);

    LoadConfig();
    EXPECT_EQ(std::strlen(config.peerHost), 255u);
    EXPECT_EQ(config.localSide, 0);
    EXPECT_EQ(config.pads[0].buttonZ, JOYSTICK_BUTTON_UNMAPPED);
    EXPECT_EQ(config.pads[0].buttonX, 1);
    EXPECT_EQ(config.pads[1].buttonT, JOYSTICK_BUTTON_UNMAPPED);
    EXPECT_EQ(config.pads[1].buttonS, 15);
}

TEST_F(SaveFiles, ShortFilesKeepTheDefaultsBeyondTheirEnd) {
    WriteFile("config.dat", {0, 0, 1});  // windowed, 16-bit colour, sound off
    Bytes system = {1};                  // EASY cleared with "character 0"
    WriteFile("system.dat", system);
    Bytes ranking;
    PutI32(ranking, 3);
    PutI32(ranking, 123456);
    for (int32_t letter : {1, 2, 3, 4}) PutI32(ranking, letter);  // the fifth letter is cut off
    WriteFile("ranking.dat", ranking);

    LoadConfig();
    LoadSystemData();
    LoadRanking();
    EXPECT_EQ(config.fullScreen, 0);
    EXPECT_EQ(config.color32, 0);
    EXPECT_EQ(config.soundOff, 1);
    EXPECT_EQ(config.port, 59999);
    EXPECT_EQ(config.pads[0].buttonT, 7);
    EXPECT_STREQ(config.peerHost, "127.0.0.1");
    EXPECT_EQ(systemData.cleared[0][0], 1);
    EXPECT_EQ(systemData.stageUnlocked[5], 1);
    EXPECT_EQ(systemData.characterUnlocked[6], 1);
    const RankingEntry& first = rankingTables[0].entries[0];
    EXPECT_EQ(first.characterId, 3);
    EXPECT_EQ(first.score, 123456);
    EXPECT_EQ(first.letters[3], 4);
    EXPECT_EQ(first.letters[4], 1);  // the default entry's letter
    EXPECT_EQ(rankingTables[0].entries[1].score, 9000);
    EXPECT_EQ(rankingTables[2].entries[9].score, 1000);
    // Files that exist are not rewritten, however short.
    EXPECT_EQ(ReadFile("system.dat"), system);
}

TEST_F(SaveFiles, HostileRankingAndSystemDataLoadToSafeValues) {
    Bytes ranking;
    for (int entry = 0; entry < 30; ++entry) {
        PutI32(ranking, entry == 0 ? 0 : entry == 1 ? 9 : 8);
        PutI32(ranking, -5);
        for (int32_t letter : {200, -1, 41, 42, 0}) PutI32(ranking, letter);
    }
    WriteFile("ranking.dat", ranking);
    Bytes system(101, 0);
    system[100] = 0xFF;
    system[3] = 2;
    WriteFile("system.dat", system);

    LoadRanking();
    LoadSystemData();
    EXPECT_EQ(rankingTables[0].entries[0].characterId, 1);
    EXPECT_EQ(rankingTables[0].entries[1].characterId, 1);
    EXPECT_EQ(rankingTables[2].entries[9].characterId, 8);
    EXPECT_EQ(rankingTables[1].entries[4].score, -5);
    for (const RankingTable& table : rankingTables) {
        for (const RankingEntry& entry : table.entries) {
            EXPECT_EQ(entry.letters[0], 0);
            EXPECT_EQ(entry.letters[1], 0);
            EXPECT_EQ(entry.letters[2], 41);
            EXPECT_EQ(entry.letters[3], 0);
        }
    }
    EXPECT_EQ(systemData.extraUnlocked, 1);
    EXPECT_EQ(systemData.cleared[0][3], 1);
}

TEST_F(SaveFiles, SavedProgressAndRankingReadBackWhole) {
    LoadSystemData();
    LoadRanking();
    systemData.cleared[2][8] = 1;
    systemData.stageUnlocked[0] = 1;
    systemData.extraUnlocked = 1;
    rankingTables[1].entries[3] = RankingEntry{5, 4321, {41, 0, 7, 8, 9}};
    const SystemData savedSystem = systemData;
    RankingTable savedRanking[RANKING_TABLES];
    std::memcpy(savedRanking, rankingTables, sizeof savedRanking);
    ASSERT_TRUE(SaveSystemData());
    ASSERT_TRUE(SaveRanking());
    EXPECT_EQ(std::filesystem::file_size("ranking.dat"), 840u);

    std::memset(&systemData, 0, sizeof systemData);
    std::memset(rankingTables, 0, sizeof rankingTables);
    LoadSystemData();
    LoadRanking();
    EXPECT_EQ(std::memcmp(&systemData, &savedSystem, sizeof systemData), 0);
    EXPECT_EQ(std::memcmp(rankingTables, savedRanking, sizeof savedRanking), 0);
}

TEST_F(SaveFiles, WritesThatCannotOpenReportFailureAndNameTheFile) {
    std::filesystem::create_directory("system.dat");
    std::filesystem::create_directory("ranking.dat");
    std::filesystem::create_directory("config.dat");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(SaveSystemData());
    EXPECT_FALSE(SaveRanking());
    const std::string said = testing::internal::GetCapturedStderr();
    for (const char* name : {"system.dat", "ranking.dat"}) {
        const std::string path = (std::filesystem::current_path() / name).string();
        EXPECT_NE(said.find(path + " was not saved: Is a directory"), std::string::npos) << said;
    }
    // A config that can be neither read nor created still leaves the defaults.
    LoadConfig();
    EXPECT_EQ(config.port, 59999);
    EXPECT_EQ(config.fullScreen, 1);
}

class Ranking : public SaveFiles {
protected:
    void SetUp() override {
        SaveFiles::SetUp();
        LoadRanking();
    }
    static std::vector<int32_t> Scores(int difficulty) {
        std::vector<int32_t> scores;
        for (const RankingEntry& entry : rankingTables[difficulty].entries) scores.push_back(entry.score);
        return scores;
    }
};

TEST_F(Ranking, InsertPlacesBelowEqualScores) {
    struct Case {
        int score;
        int place;
        std::vector<int32_t> scores;
    } cases[] = {
        {10001, 0, {10001, 10000, 9000, 8000, 7000, 6000, 5000, 4000, 3000, 2000}},
        {10000, 1, {10000, 10000, 9000, 8000, 7000, 6000, 5000, 4000, 3000, 2000}},
        {5500, 5, {10000, 9000, 8000, 7000, 6000, 5500, 5000, 4000, 3000, 2000}},
        {1001, 9, {10000, 9000, 8000, 7000, 6000, 5000, 4000, 3000, 2000, 1001}},
        {1000, RANKING_NOT_ENTERED, {10000, 9000, 8000, 7000, 6000, 5000, 4000, 3000, 2000, 1000}},
        {-7, RANKING_NOT_ENTERED, {10000, 9000, 8000, 7000, 6000, 5000, 4000, 3000, 2000, 1000}},
    };
    for (const Case& c : cases) {
        LoadRanking();
        EXPECT_EQ(InsertRanking(1, 4, c.score), c.place) << c.score;
        EXPECT_EQ(Scores(1), c.scores) << c.score;
        EXPECT_EQ(Scores(0), Scores(2)) << "other difficulties untouched";
        EXPECT_EQ(Scores(0)[9], 1000);
    }
}

TEST_F(Ranking, NewEntryTakesTheCharacterWithAnEmptyName) {
    EXPECT_EQ(InsertRanking(2, 6, 20000), 0);
    const RankingEntry* entries = rankingTables[2].entries;
    EXPECT_EQ(entries[0].characterId, 6);
    for (int32_t letter : entries[0].letters) EXPECT_EQ(letter, 0);
    // The old first entry moved down whole, letters included.
    EXPECT_EQ(entries[1].score, 10000);
    EXPECT_EQ(entries[1].letters[0], 1);
    EXPECT_EQ(entries[9].letters[0], 9);
}

TEST_F(Ranking, DifficultyOutsideTheTablesEntersNothing) {
    for (int difficulty : {-1, 3}) {
        EXPECT_EQ(InsertRanking(difficulty, 1, 999999), RANKING_NOT_ENTERED);
    }
    for (int d = 0; d < RANKING_TABLES; ++d) EXPECT_EQ(Scores(d)[0], 10000);
}

}  // namespace
