// From start-up through a whole match and back: logos, title, a match of
// kirune against kirune chosen on the select screen, the versus screen, a
// battle fought to a knock-out, the result screen saving the replay with C,
// and the title's replay list playing it back frame for frame, in the same
// session and in a game started anew.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "engine/core/math.h"
#include "game/arena/battle_state.h"
#include "game/arena/player_record.h"
#include "game/flow/input_words.h"
#include "game/flow/replay_file.h"
#include "game/flow/run_state.h"
#include "game/screens/result_screen.h"
#include "game/screens/select_screen.h"
#include "game/screens/title_menu.h"
#include "platform/keyboard.h"
#include "tests/support/battle_hash.h"
#include "tests/support/battle_run.h"
#include "tests/support/temp_dir.h"

namespace {

// From the title's main menu into the replay list, plays its first replay to
// the battle's end (at most `limit` frames) and returns the state hash after
// every frame.
std::vector<uint64_t> PlayFirstReplay(test::BattleRun& run, size_t limit) {
    std::vector<uint64_t> played;
    EXPECT_TRUE(run.TapUntil(platform::VK_DOWN, [] { return titleCursor == MAIN_ITEM_REPLAYS; }));
    EXPECT_TRUE(run.TapUntil('Z', [] { return titleState == TITLE_REPLAY_LIST; }));
    EXPECT_TRUE(run.TapUntil('Z', [] { return sceneNumber == SCENE_BATTLE; }));
    if (sceneNumber != SCENE_BATTLE) return played;
    EXPECT_EQ(replayPlayback, 1);
    do {
        run.scene().RunFrames(1);
        played.push_back(test::HashBattleState());
    } while (sceneNumber == SCENE_BATTLE && !sceneInitPending && played.size() < limit);
    EXPECT_EQ(sceneNumber, SCENE_RESULT);
    return played;
}

class MatchAndReplayTest : public testing::Test {
protected:
    std::unique_ptr<test::BattleRun> session = std::make_unique<test::BattleRun>();
    test::BattleRun& run = *session;
};

TEST_F(MatchAndReplayTest, AMatchIsSavedAndPlaysBackTheSame) {
    // Start-up: the two logos, then the title's main menu.
    ASSERT_EQ(sceneNumber, SCENE_LOGO);
    ASSERT_TRUE(run.TapUntil('Z', [] { return sceneNumber == SCENE_TITLE; }));
    ASSERT_TRUE(run.TapUntil('Z', [] { return titleState == TITLE_MAIN; }));
    ASSERT_TRUE(run.TapUntil(platform::VK_DOWN, [] { return titleCursor == MAIN_ITEM_VERSUS; }));
    ASSERT_TRUE(run.TapUntil('Z', [] { return titleState == TITLE_VERSUS; }));
    // Against the computer: practice keeps every life above 0, so only this
    // mode of the same select screen can end in a knock-out.
    ASSERT_TRUE(run.TapUntil(platform::VK_DOWN, [] { return titleCursor == 1; }));
    ASSERT_TRUE(run.TapUntil('Z', [] { return sceneNumber == SCENE_SELECT; }));
    ASSERT_EQ(gameMode, MODE_1P_VS_CPU);

    // kirune for side 0 (the first of the wheel), kirune for side 1 too.
    ASSERT_TRUE(run.TapUntil('Z', [] { return selectScreen.state == SELECT_OPPONENT; }));
    ASSERT_TRUE(run.TapUntil(platform::VK_LEFT, [] { return selectScreen.cursor[1] == 0; }));
    ASSERT_TRUE(run.TapUntil('Z', [] { return selectScreen.state == SELECT_STAGE; }));
    ASSERT_TRUE(run.TapUntil('Z', [] { return sceneNumber == SCENE_VERSUS; }));
    EXPECT_EQ(players[0].characterId, 1);
    EXPECT_EQ(players[1].characterId, 1);
    EXPECT_NE(players[0].colour, players[1].colour);
    ASSERT_TRUE(run.RunUntil([] { return sceneNumber == SCENE_BATTLE; }));
    SeedRandom(3);  // the battle draws its seed from here, not from the clock

    // Side 0 goes after side 1, which the computer plays, and slashes until
    // one of them falls; the controls let go once the fight is over.
    run.SetScript(test::ChaseAndSlash);
    run.RunToEnd(20000);
    ASSERT_EQ(sceneNumber, SCENE_RESULT);
    ASSERT_EQ(std::min(players[0].life, players[1].life), 0) << "no knock-out";
    const std::vector<uint64_t> recorded = run.hashes();
    ASSERT_STREQ(replayFileName, "replay\\tobra000.rpl");

    // The result screen saves the replay with C, then Z leaves for the
    // select screen and X back to the title.
    ASSERT_TRUE(run.TapUntil('C', [] { return resultScreen.replaySaved == 1; }));
    const std::filesystem::path saved = run.scene().folder().path() / "replay" / "tobra000.rpl";
    ASSERT_TRUE(std::filesystem::exists(saved));
    EXPECT_EQ(std::filesystem::file_size(saved), REPLAY_HEADER_SIZE + REPLAY_FRAME_SIZE * replayInputs[0].size());
    ASSERT_TRUE(run.TapUntil('Z', [] { return sceneNumber == SCENE_SELECT; }));
    ASSERT_TRUE(run.TapUntil('X', [] { return sceneNumber == SCENE_TITLE; }));

    // The title reopens on the versus menu; back to the main menu, into the
    // replay list, and the first replay is played.
    ASSERT_TRUE(run.TapUntil('X', [] { return titleState == TITLE_MAIN; }));
    test::ExpectSameFrames(PlayFirstReplay(run, recorded.size() + 100), recorded, "the playback");

    // The game started anew, with nothing of the match's screens before it:
    // the battle starts as it started behind the versus screen.
    test::TempDir kept;
    std::filesystem::copy_file(saved, kept.path() / "tobra000.rpl");
    session.reset();
    test::BattleRun fresh;
    std::filesystem::create_directory(fresh.scene().folder().path() / "replay");
    std::filesystem::copy_file(kept.path() / "tobra000.rpl", fresh.scene().folder().path() / "replay" / "tobra000.rpl");
    ASSERT_TRUE(fresh.TapUntil('Z', [] { return sceneNumber == SCENE_TITLE; }));
    ASSERT_TRUE(fresh.TapUntil('Z', [] { return titleState == TITLE_MAIN; }));
    test::ExpectSameFrames(PlayFirstReplay(fresh, recorded.size() + 100), recorded, "the playback in a new session");
}

}  // namespace
