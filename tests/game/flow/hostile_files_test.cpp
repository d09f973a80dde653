// The game's own files when the program folder holds something hostile in
// their place: FIFOs, links out of the folder, huge or interrupted files.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "game/flow/replay_file.h"
#include "game/flow/save_files.h"
#include "tests/support/hostile_files.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// Each test runs in a fresh current folder, the game's program folder, with
// a second folder standing for everything outside it.
class HostileFiles : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = fs::current_path();
        fs::current_path(folder_.path());
    }
    void TearDown() override { fs::current_path(previous_); }

    fs::path Outside() const { return outside_.path() / "victim"; }

    // A replay header that ReadReplayFile accepts.
    static std::vector<uint8_t> PlayableHeader() {
        ReplayHeader h{};
        h.p1CharacterId = 1;
        h.p2CharacterId = 2;
        h.formatId = REPLAY_FORMAT_ID;
        std::vector<uint8_t> bytes(REPLAY_HEADER_SIZE);
        WriteReplayHeader(h, std::span<uint8_t, REPLAY_HEADER_SIZE>(bytes.data(), REPLAY_HEADER_SIZE));
        return bytes;
    }

private:
    test::TempDir folder_;
    test::TempDir outside_;
    fs::path previous_;
};

// Each save file, read at start or at the title, as a FIFO: the defaults are
// used at once, as for a missing file.
TEST_F(HostileFiles, ASaveFileThatIsAFifoGivesTheDefaultsWithoutWaiting) {
    struct Case {
        const char* name;
        int (*load)();
    };
    const Case cases[] = {
        {"config.dat", [] { LoadConfig(); return int{config.port}; }},
        {"system.dat", [] { LoadSystemData(); return int{systemData.characterUnlocked[6]}; }},
        {"ranking.dat", [] { LoadRanking(); return rankingTables[0].entries[0].score / 1000; }},
    };
    const int defaults[] = {59999 % 256, 1, 10};
    for (size_t i = 0; i < std::size(cases); ++i) {
        test::MakeFifo(cases[i].name);
        EXPECT_BOUNDED(cases[i].load() % 256, defaults[i]) << cases[i].name;
        EXPECT_TRUE(fs::is_fifo(cases[i].name)) << "a FIFO is left as it is";
    }
}

// A link in place of a save file, to a file outside the folder or dangling:
// the game writes its own file in the folder and nothing outside changes.
TEST_F(HostileFiles, SaveFilesNeverWriteThroughALink) {
    struct Case {
        const char* name;
        bool dangling;
        void (*save)();
    };
    const Case cases[] = {
        {"system.dat", false, [] { LoadSystemData(); SaveSystemData(); }},
        {"system.dat", true, [] { LoadSystemData(); }},
        {"config.dat", true, [] { LoadConfig(); }},
        {"ranking.dat", false, [] { LoadRanking(); SaveRanking(); }},
    };
    for (const Case& c : cases) {
        fs::remove(Outside());
        fs::remove(c.name);
        if (!c.dangling) test::PutText(Outside(), "precious");
        fs::create_symlink(Outside(), c.name);
        c.save();
        EXPECT_FALSE(fs::is_symlink(c.name)) << c.name;
        EXPECT_TRUE(fs::is_regular_file(c.name)) << c.name;
        if (c.dangling) EXPECT_FALSE(fs::exists(Outside())) << c.name;
        else EXPECT_EQ(test::FileText(Outside()), "precious") << c.name;
    }
}

// A crash or a full disk halfway through a save keeps every unlock and clear.
TEST_F(HostileFiles, AnInterruptedSaveLeavesTheOldSystemDataWhole) {
    LoadSystemData();
    systemData.extraUnlocked = 1;
    systemData.cleared[2][5] = 1;
    ASSERT_TRUE(SaveSystemData());
    const std::string saved = test::FileText("system.dat");
    systemData.cleared[1][3] = 1;
    {
        test::FailingWrites fail(sizeof systemData / 2);
        EXPECT_FALSE(SaveSystemData());
    }
    EXPECT_EQ(test::FileText("system.dat"), saved);
    EXPECT_EQ(std::distance(fs::directory_iterator("."), {}), 1) << "no temporary file is left";
    LoadSystemData();
    EXPECT_EQ(systemData.extraUnlocked, 1);
    EXPECT_EQ(systemData.cleared[2][5], 1);
}

// Replays that must be refused as unreadable, in bounded time, without abort.
TEST_F(HostileFiles, HugeOrNonRegularReplaysAreUnreadable) {
    fs::create_directory("replay");
    test::MakeSparseFile("replay/huge.rpl", PlayableHeader(), off_t{6} << 30);
    test::MakeFifo("replay/fifo.rpl");
    const std::vector<uint8_t> head = PlayableHeader();
    const off_t largest = static_cast<off_t>(REPLAY_HEADER_SIZE + REPLAY_MAX_FRAMES * REPLAY_FRAME_SIZE);
    test::MakeSparseFile("replay/longest.rpl", head, largest);
    test::MakeSparseFile("replay/too_long.rpl", head, largest + static_cast<off_t>(REPLAY_FRAME_SIZE));

    EXPECT_BOUNDED(ReadReplayFile("replay\\huge.rpl") + 10, 9);
    EXPECT_BOUNDED(ReadReplayFile("replay\\fifo.rpl") + 10, 9);
    EXPECT_BOUNDED(ReadReplayFile("replay\\too_long.rpl") + 10, 9);
    // The longest a replay may be still plays.
    EXPECT_EQ(ReadReplayFile("replay\\longest.rpl"), 0);
    EXPECT_EQ(replayInputs[0].size(), REPLAY_MAX_FRAMES);
    EXPECT_EQ(ReadReplayFile("replay\\too_long.rpl"), -1);
    EXPECT_TRUE(replayInputs[0].empty());
}

}  // namespace
