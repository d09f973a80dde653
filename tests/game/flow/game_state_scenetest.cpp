// The game's state across harnesses run one after another in one process,
// as the test programs run them: each harness starts the game as a fresh
// program does, whatever the one before it left open or behind.
#include <gtest/gtest.h>

#include <algorithm>

#include "game/start/game_start.h"
#include "game/screens/select_screen.h"
#include "game/screens/title_menu.h"
#include "platform/keyboard.h"
#include "tests/support/scene_harness.h"

namespace {

void Enter(int32_t scene, int32_t mode) {
    gameMode = mode;
    extraItem = 1;
    sceneNumber = scene;
    sceneInitPending = 1;
}

// A screen still open when its harness ends holds pictures that the
// harness's lists free; the next harness opens the screen again, which
// releases what the screen held before (the sanitizer reports a use after
// free when those pointers were kept).
TEST(GameStateAcrossHarnesses, AScreenLeftOpenOpensAgainInTheNextHarness) {
    struct Case {
        const char* name;
        int32_t scene, mode;
        int moves;  // cursor moves that load a picture anew (the arcade stand)
    };
    const Case cases[] = {
        {"story", SCENE_STORY, MODE_EXTRA, 0},
        {"select", SCENE_SELECT, MODE_PRACTICE, 0},
        {"arcade select", SCENE_SELECT, MODE_ARCADE, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (int run = 0; run < 2; ++run) {
            test::SceneHarness harness;
            Enter(c.scene, c.mode);
            harness.RunFrames(40);
            for (int move = 0; move < c.moves; ++move) {
                harness.Tap(platform::VK_LEFT);
                harness.RunFrames(1);
            }
            EXPECT_EQ(sceneNumber, c.scene);
            EXPECT_EQ(sceneInitPending, 0);
        }
        // What the select screen held went with the harness's lists.
        EXPECT_EQ(selectScreen.faceTexture, nullptr);
        EXPECT_EQ(selectScreen.arcadeStandTexture, nullptr);
        EXPECT_TRUE(selectScreen.standSheets.empty());
        EXPECT_EQ(selectSkyModel, nullptr);
    }
}

// The wheel's slot 6 is never laid out: it keeps what it held at program
// start, the index of the first entry. A test that fills the wheel by hand
// must not leave the next one drawing the entry at index -1.
TEST(GameStateAcrossHarnesses, TheSelectWheelStartsAsAtProgramStart) {
    for (auto& ring : selectScreen.wheelRing) std::fill(std::begin(ring), std::end(ring), -1);
    test::SceneHarness harness;
    Enter(SCENE_SELECT, MODE_PRACTICE);
    harness.RunFrames(2);
    ASSERT_EQ(sceneNumber, SCENE_SELECT);
    for (const auto& ring : selectScreen.wheelRing) {
        EXPECT_TRUE(std::none_of(std::begin(ring), std::end(ring), [](int32_t index) { return index < 0; }));
        EXPECT_EQ(ring[6], 0);
    }
}

}  // namespace
