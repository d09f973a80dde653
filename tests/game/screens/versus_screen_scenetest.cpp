// The versus screen's timing: 201 frames or a Z, then a fade of 50 steps
// into the battle.
#include "game/screens/versus_screen.h"

#include <gtest/gtest.h>

#include "game/arena/player_record.h"
#include "game/flow/run_state.h"
#include "game/flow/transitions.h"
#include "tests/support/scene_harness.h"

namespace {

class VersusScreenTest : public testing::Test {
protected:
    void SetUp() override {
        players[0].characterId = 1;
        players[1].characterId = 6;
        sceneNumber = SCENE_VERSUS;
        sceneInitPending = 1;
    }

    // Frames from now until the battle scene is set; -1 when it never is.
    int FramesToBattle() { return harness.RunUntilScene(SCENE_BATTLE, 1000); }

    test::SceneHarness harness;
};

TEST_F(VersusScreenTest, ShowsFor201FramesThenFadesIntoTheBattle) {
    harness.RunFrames(200);
    EXPECT_EQ(versusState, VERSUS_SHOWING);
    EXPECT_EQ(versusCounter, 200);
    harness.RunFrames(1);
    EXPECT_EQ(versusState, VERSUS_FADING);
    EXPECT_EQ(transitionKind, TRANSITION_FADE_OUT);
    EXPECT_FLOAT_EQ(transitionSpeed, 0.02f);
    EXPECT_EQ(FramesToBattle(), 51);  // 50 steps of 0.02, then the frame that sees it end
    EXPECT_EQ(sceneInitPending, 1);
    EXPECT_EQ(transitionRunning, 0);
}

TEST_F(VersusScreenTest, ZStartsTheFadeAtOnceAndASecondZChangesNothing) {
    for (bool pressAgain : {false, true}) {
        SCOPED_TRACE(pressAgain ? "pressed again while fading" : "pressed once");
        SetUp();
        harness.Tap('Z');
        EXPECT_EQ(versusState, VERSUS_FADING);
        EXPECT_EQ(versusCounter, 1);
        harness.RunFrames(10);
        if (pressAgain) {
            harness.Tap('Z');
        } else {
            harness.RunFrames(1);
        }
        EXPECT_EQ(FramesToBattle(), 40);  // 51 frames after the press, as without a press
    }
}

}  // namespace
