// The start-up logos run headless from the game's start: each is held for
// up to 201 frames between its fades, Z cuts only the hold it is pressed in,
// and the scene always ends in the title menu with its init pending.
#include <gtest/gtest.h>

#include "game/flow/logo_scene.h"
#include "game/flow/run_state.h"
#include "game/flow/transitions.h"
#include "tests/support/scene_harness.h"

namespace {

class LogoSceneTest : public testing::Test {
protected:
    // Frames run until logoState is `state` (at most `limit`), or -1.
    int RunUntilState(int32_t state, int limit) {
        for (int frames = 0; frames < limit; ++frames) {
            if (logoState == state) return frames;
            harness.RunFrames(1);
        }
        return -1;
    }
    void ExpectTitleNext() {
        EXPECT_GT(harness.RunUntilScene(SCENE_TITLE, 200), 0);
        EXPECT_EQ(sceneInitPending, 1);
        EXPECT_EQ(firstLogoSurface, nullptr);
        EXPECT_EQ(secondLogoSurface, nullptr);
    }
    test::SceneHarness harness;
};

TEST_F(LogoSceneTest, EachLogoIsHeld201FramesThenTheTitleFollows) {
    harness.RunFrames(200);
    EXPECT_EQ(logoState, LOGO_FIRST);
    EXPECT_EQ(sceneInitPending, 0);
    EXPECT_NE(firstLogoSurface, nullptr);  // not ready without the archive, but made
    harness.RunFrames(1);
    EXPECT_EQ(logoState, LOGO_FIRST_FADE);
    EXPECT_EQ(transitionKind, TRANSITION_FADE_OUT);

    const int fadeOut = RunUntilState(LOGO_SECOND, 100);
    EXPECT_EQ(fadeOut, 41);  // the fade runs 0.025 a frame past 1.0
    EXPECT_EQ(transitionKind, TRANSITION_FADE_IN);
    harness.RunFrames(200);
    EXPECT_EQ(logoState, LOGO_SECOND);
    harness.RunFrames(1);
    EXPECT_EQ(logoState, LOGO_SECOND_FADE);
    EXPECT_EQ(sceneNumber, SCENE_LOGO);
    ExpectTitleNext();
}

TEST_F(LogoSceneTest, ZCutsOnlyTheHoldItIsPressedIn) {
    harness.RunFrames(10);
    harness.Tap('Z');
    EXPECT_EQ(logoState, LOGO_FIRST_FADE);
    // Z held through the fade counts as pressed no more in the second hold.
    harness.Hold('Z');
    ASSERT_GT(RunUntilState(LOGO_SECOND, 100), 0);
    harness.RunFrames(150);
    EXPECT_EQ(logoState, LOGO_SECOND);
    harness.Release('Z');
    harness.RunFrames(1);
    harness.Tap('Z');
    EXPECT_EQ(logoState, LOGO_SECOND_FADE);
    ExpectTitleNext();
}

TEST_F(LogoSceneTest, ZDuringAFadeIsIgnored) {
    harness.Tap('Z');
    ASSERT_EQ(logoState, LOGO_FIRST_FADE);
    harness.RunFrames(5);
    harness.Tap('Z');  // the fade out is still running
    EXPECT_EQ(logoState, LOGO_FIRST_FADE);
    ASSERT_GT(RunUntilState(LOGO_SECOND, 100), 0);
    harness.RunFrames(199);
    EXPECT_EQ(logoState, LOGO_SECOND);  // the second hold was not cut short
}

}  // namespace
