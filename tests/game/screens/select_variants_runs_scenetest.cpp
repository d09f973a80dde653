// The two-player and arcade selects run through the real scenes from the
// title, each side on its own scripted pad: two players choose and fight to
// the result screen; the arcade select leads into the first arcade battle.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "game/arena/battle_state.h"
#include "game/arena/player_record.h"
#include "game/flow/input_words.h"
#include "game/flow/run_state.h"
#include "game/screens/select_screen.h"
#include "game/screens/title_menu.h"
#include "platform/keyboard.h"
#include "tests/support/battle_run.h"

namespace {

class SelectRunTest : public testing::Test {
protected:
    // Presses buttons on one side's pad for a frame, then lets go for a frame.
    void PadTap(int side, InputWord word) {
        run.Press(side, word);
        run.scene().RunFrames(1);
        run.Press(side, 0);
        run.scene().RunFrames(1);
    }
    // From start-up to the main menu of the title.
    void ToMainMenu() {
        ASSERT_TRUE(run.TapUntil('Z', [] { return sceneNumber == SCENE_TITLE; }));
        ASSERT_TRUE(run.TapUntil('Z', [] { return titleState == TITLE_MAIN; }));
    }

    test::BattleRun run;
};

TEST_F(SelectRunTest, TwoPlayersChooseOnTheirOwnPadsAndFightToTheResult) {
    ToMainMenu();
    ASSERT_TRUE(run.TapUntil(platform::VK_DOWN, [] { return titleCursor == MAIN_ITEM_VERSUS; }));
    ASSERT_TRUE(run.TapUntil('Z', [] { return titleState == TITLE_VERSUS; }));
    ASSERT_EQ(titleCursor, 0);  // one player against another
    ASSERT_TRUE(run.TapUntil('Z', [] { return sceneNumber == SCENE_SELECT; }));
    ASSERT_EQ(gameMode, MODE_1P_VS_2P);
    ASSERT_TRUE(run.RunUntil([] { return selectScreen.state == SELECT_CHARACTER; }));

    // Side 0 stays on kirune; side 1 turns back from bemo to kirune and takes
    // colour 1 with its S. Side 0 decides first and its pad then does nothing.
    PadTap(0, INPUT_Z);
    PadTap(0, INPUT_LEFT);
    EXPECT_EQ(selectScreen.cursor[0], 100);
    PadTap(1, INPUT_LEFT);
    EXPECT_EQ(selectScreen.state, SELECT_CHARACTER);
    PadTap(1, INPUT_Z | INPUT_S);
    ASSERT_EQ(selectScreen.state, SELECT_STAGE);
    // Either pad turns the stage: one step on, one back, then side 1 decides.
    PadTap(1, INPUT_RIGHT);
    PadTap(0, INPUT_LEFT);
    PadTap(1, INPUT_Z);
    ASSERT_TRUE(run.RunUntil([] { return sceneNumber == SCENE_VERSUS; }));
    EXPECT_EQ(players[0].characterId, 1);
    EXPECT_EQ(players[1].characterId, 1);
    EXPECT_EQ(players[0].colour, 0);
    EXPECT_EQ(players[1].colour, 1);
    EXPECT_EQ(stageNumber, 1);
    ASSERT_TRUE(run.RunUntil([] { return sceneNumber == SCENE_BATTLE; }));

    // Side 0 goes after side 1, who stands still, and slashes until it falls.
    run.SetScript(test::ChaseAndSlash);
    run.RunToEnd(20000);
    ASSERT_EQ(sceneNumber, SCENE_RESULT);
    EXPECT_EQ(players[1].life, 0);
    EXPECT_GT(players[0].life, 0);
    EXPECT_EQ(gameMode, MODE_1P_VS_2P);
}

TEST_F(SelectRunTest, TheArcadeSelectLeadsIntoTheFirstArcadeBattle) {
    ToMainMenu();
    ASSERT_EQ(titleCursor, MAIN_ITEM_ARCADE);
    ASSERT_TRUE(run.TapUntil('Z', [] { return titleState == TITLE_ARCADE_DIFFICULTY; }));
    ASSERT_TRUE(run.TapUntil('Z', [] { return sceneNumber == SCENE_SELECT; }));
    ASSERT_EQ(gameMode, MODE_ARCADE);
    ASSERT_TRUE(run.RunUntil([] { return selectScreen.state == SELECT_CHARACTER; }));

    PadTap(1, INPUT_LEFT | INPUT_Z);  // side 1 has no say here
    EXPECT_EQ(selectScreen.state, SELECT_CHARACTER);
    PadTap(0, INPUT_LEFT);
    PadTap(0, INPUT_LEFT);
    PadTap(0, INPUT_Z | INPUT_S);
    ASSERT_TRUE(run.RunUntil([] { return sceneNumber == SCENE_VERSUS; }));
    EXPECT_EQ(players[0].characterId, 3);
    EXPECT_EQ(players[0].colour, 0);
    EXPECT_EQ(players[1].characterId, 2);  // the ladder's first opponent, on its stage
    EXPECT_EQ(stageNumber, 1);
    EXPECT_EQ(arcadeStage, 0);
    ASSERT_TRUE(run.RunUntil([] { return sceneNumber == SCENE_BATTLE; }));

    // The computer flies side 1 while both pads stay still. Side 0 may be hit
    // or pulled by it, but never moves of its own accord.
    run.SetScript(nullptr);
    for (int f = 0; f < test::kFirstFreeBattleFrame; ++f) ASSERT_TRUE(run.RunFrame()) << "frame " << f;
    const float x1 = players[1].x, y1 = players[1].y;
    const auto passive = [](int32_t state) {
        return state == PLAYER_FREE || state == PLAYER_KNOCKED_BACK || state == PLAYER_KNOCKED_OUT ||
               state == PLAYER_BLOWN_AWAY;
    };
    for (int f = 0; f < 200; ++f) {
        ASSERT_TRUE(run.RunFrame()) << "frame " << test::kFirstFreeBattleFrame + f;
        ASSERT_EQ(players[0].padInput, 0) << "frame " << test::kFirstFreeBattleFrame + f;
        ASSERT_TRUE(passive(players[0].state)) << "state " << players[0].state;
    }
    EXPECT_EQ(gameMode, MODE_ARCADE);
    EXPECT_EQ(players[0].characterId, 3);
    EXPECT_EQ(players[1].characterId, 2);
    EXPECT_GT(std::hypot(players[1].x - x1, players[1].y - y1), 10.0f);
}

}  // namespace
