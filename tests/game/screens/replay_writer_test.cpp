// The result screen's save: the winner's best combo goes into the header, and
// replaySaved reports only a file written whole.
#include "game/screens/replay_writer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "game/arena/player_record.h"
#include "game/battle/battle_scene.h"
#include "game/flow/replay_file.h"
#include "game/screens/result_screen.h"
#include "tests/support/hostile_files.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

class ReplayWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = fs::current_path();
        fs::current_path(dir_.path());
        StartReplayRecording({1, 1, 0, 1, 2, 0, 1, 0, 0});
        for (int frame = 0; frame < 5; ++frame) {
            RecordReplayInput(0, static_cast<InputWord>(frame));
            RecordReplayInput(1, static_cast<InputWord>(0x100 + frame));
        }
        replayPlayback = 0;
        std::strcpy(replayFileName, "replay\\tobra000.rpl");
        resultScreen.replaySaved = 0;
        players[0].bestComboDamage = 111;
        players[0].bestComboHits = 2;
        players[1].bestComboDamage = 2222;
        players[1].bestComboHits = 33;
    }
    void TearDown() override { fs::current_path(previous_); }

    fs::path SavedFile() const { return dir_.path() / "replay" / "tobra000.rpl"; }

    test::TempDir dir_;
    fs::path previous_;
};

TEST_F(ReplayWriterTest, SavesTheWinnersBestComboAndMarksTheSave) {
    for (int32_t winner : {0, 1}) {
        SCOPED_TRACE(winner);
        winnerSide = winner;
        resultScreen.replaySaved = 0;
        WriteReplayFile();
        EXPECT_EQ(resultScreen.replaySaved, 1);
        ASSERT_EQ(fs::file_size(SavedFile()), 1112u + 4 * 5);
        ASSERT_EQ(ReadReplayFile(SavedFile().c_str()), 0);
        EXPECT_EQ(replayHeader.winnerSide, winner);
        EXPECT_EQ(replayHeader.bestComboDamage, players[winner].bestComboDamage);
        EXPECT_EQ(replayHeader.bestComboHits, players[winner].bestComboHits);
        EXPECT_EQ(replayInputs[1].back(), 0x104);
    }
}

TEST_F(ReplayWriterTest, PlaybackWritesNothing) {
    replayPlayback = 1;
    for (int press = 0; press < 3; ++press) WriteReplayFile();
    EXPECT_EQ(resultScreen.replaySaved, 0);
    EXPECT_FALSE(fs::exists(dir_.path() / "replay"));
}

TEST_F(ReplayWriterTest, FailedOpenOrWriteLeavesTheSaveUnmarked) {
    {
        std::ofstream blocker(dir_.path() / "replay");  // a file where the folder belongs
    }
    WriteReplayFile();
    EXPECT_EQ(resultScreen.replaySaved, 0);

    fs::remove(dir_.path() / "replay");
    fs::create_directories(dir_.path() / "replay");
    testing::internal::CaptureStderr();
    {
        test::FailingWrites fail(100);  // the disk fills in the header
        WriteReplayFile();
    }
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(resultScreen.replaySaved, 0);
    EXPECT_TRUE(fs::is_empty(dir_.path() / "replay"));
    EXPECT_NE(said.find(SavedFile().string() + " was not saved: No space left on device"), std::string::npos)
        << said;

    WriteReplayFile();  // a later press tries again
    EXPECT_EQ(resultScreen.replaySaved, 1);
    EXPECT_EQ(fs::file_size(SavedFile()), 1112u + 4 * 5);
}

}  // namespace
