#include "game/characters/kirune_drawing.h"

#include <gtest/gtest.h>

#include "engine/core/math.h"
#include "game/arena/battle_state.h"
#include "game/characters/kirune.h"
#include "game/flow/numeric_helpers.h"
#include "tests/support/pose_table.h"

namespace {

using KiruneDrawing = test::CharacterDrawingFixture<1>;
using namespace test;  // the shared turns of a row

constexpr int32_t NONE = -1;

TEST_F(KiruneDrawing, PoseActionAndTurnOfEachState) {
    const struct {
        int32_t state, t, c;
        InputWord arrows;
        float x, opponentX, aim;
        int32_t pose, action;
        Turn turn;
        const char* what;
    } cases[] = {
        // Standing: the idle cycle 0 1 2 1, the steps toward (3 4 5 4) and away (6 7 8 7).
        {PLAYER_FREE, 0, 0, 0, -100, 100, 0, 0, NONE, UNTURNED, "idle"},
        {PLAYER_FREE, 0, 24, 0, -100, 100, 0, 1, NONE, UNTURNED, "idle, fourth step"},
        {PLAYER_FREE, 0, 5, INPUT_RIGHT, -100, 100, 0, 4, NONE, UNTURNED, "toward"},
        {PLAYER_FREE, 0, 15, INPUT_RIGHT, -100, 100, 0, 4, NONE, UNTURNED, "toward, fourth step"},
        {PLAYER_FREE, 0, 10, INPUT_LEFT, -100, 100, 0, 8, NONE, UNTURNED, "away"},
        {PLAYER_FREE, 0, 15, INPUT_UP, -100, 100, 0, 7, NONE, UNTURNED, "up counts as away"},
        {PLAYER_FREE, 0, 0, INPUT_LEFT, 100, -100, 0, 3, NONE, MIRRORED, "toward, facing left"},
        {PLAYER_FREE, 0, 0, 0, 5, 5, 2.0f, 0, NONE, MIRRORED, "equal x faces left"},
        {PLAYER_KNOCKED_BACK, 0, 0, 0, -100, 100, 0, 57, NONE, ROLL_0, "hit"},
        {PLAYER_KNOCKED_OUT, 3, 0, 0, -100, 100, 0, 58, NONE, ROLL_0, "knocked out, blinking"},
        {PLAYER_KNOCKED_OUT, 179, 0, 0, -100, 100, 0, 58, NONE, ROLL_0, "knocked out, last frame shown"},
        {PLAYER_DASH, 0, 5, 0, -100, 100, 0, 11, NONE, ROLL_0, "dash toward"},
        {PLAYER_DASH, 0, 9, 0, -100, 100, PI_F, 18, NONE, ROLL_0_MIRRORED, "dash away, fourth step"},
        {PLAYER_DASH, 0, 0, 0, 100, -100, PI_F, 9, NONE, {true, RadianToAngle(PI_F), false}, "dash toward, never mirrored"},
        {PLAYER_DASH, 0, 0, 0, -100, 100, HALF_PI, 9, NONE, {true, RadianToAngle(HALF_PI), false}, "straight up counts as toward"},
        {PLAYER_DASH, 0, 0, 0, 100, -100, -HALF_PI, 9, NONE, {true, RadianToAngle(-HALF_PI), false}, "straight down, facing left"},
        {PLAYER_BURST, 12, 0, 0, -100, 100, 0, 54, NONE, ROLL_0, "burst"},
        {PLAYER_SHIELD, 30, 0, 0, -100, 100, 0, 56, NONE, ROLL_0, "shield holds its last pose"},
        {PLAYER_BLOWN_AWAY, 0, 6, 0, -100, 100, 0, 19, NONE, ROLL_0, "blown away"},
        {KIRUNE_SHOT, 11, 0, 0, -100, 100, 0, 20, 13, ROLL_0, "shot, waiting"},
        {KIRUNE_SHOT, 15, 0, 0, -100, 100, 0, 21, 14, ROLL_0, "shot"},
        {KIRUNE_SHOT, 40, 0, 0, -100, 100, 0, 24, 15, ROLL_0, "shot, last pose"},
        {KIRUNE_MOVING_SHOTS, 19, 0, 0, -100, 100, 0, 21, 14, ROLL_0, "moving shots"},
        {KIRUNE_CHARGED_SHOT, 35, 0, 0, -100, 100, 0, 20, 13, ROLL_0, "charging"},
        {KIRUNE_CHARGED_SHOT, 106, 0, 0, -100, 100, 0, 22, 15, ROLL_0, "charged shot fired"},
        {KIRUNE_SLASH_1, 12, 0, 0, -100, 100, 0, 27, 2, ROLL_0, "slash 1"},
        {KIRUNE_SLASH_1, 25, 0, 0, -100, 100, 0, 30, 3, ROLL_0, "slash 1, last pose"},
        {KIRUNE_LONG_SLASH, 3, 0, 0, -100, 100, 0, 26, 1, ROLL_0, "long slash is faster"},
        {KIRUNE_SLASH_2, 9, 0, 0, -100, 100, 0, 33, 6, ROLL_0, "slash 2"},
        {KIRUNE_SLASH_2, 30, 0, 0, -100, 100, 0, 36, 7, ROLL_0, "slash 2, last pose"},
        {KIRUNE_SLASH_3, 12, 0, 0, -100, 100, 0, 40, 11, ROLL_0, "slash 3"},
        {KIRUNE_SLASH_3, 20, 0, 0, -100, 100, 0, 42, 12, ROLL_0, "slash 3, last pose"},
        {KIRUNE_SPREAD_SHOTS, 7, 0, 0, -100, 100, 0, 22, NONE, ROLL_0, "spread shots"},
        {KIRUNE_RAPID_FIRE, 100, 0, 0, -100, 100, 0, 24, NONE, ROLL_0, "rapid fire"},
        {KIRUNE_BEAM, 50, 0, 0, -100, 100, 0, 20, 13, ROLL_0, "beam"},
        {KIRUNE_HYPER, 3, 0, 0, -100, 100, 0, 20, 13, ROLL_0, "hyper"},
        {KIRUNE_RUSH, 14, 0, 0, -100, 100, 0, 37, 8, ROLL_0, "rush, waiting"},
        {KIRUNE_RUSH, 21, 0, 0, -100, 100, 0, 40, 11, ROLL_0, "rush"},
        {KIRUNE_CHARGING_SLASH, 9, 0, 0, -100, 100, 0, 43, NONE, ROLL_0, "charging slash, no sword yet"},
        {KIRUNE_CHARGING_SLASH, 13, 0, 0, -100, 100, 0, 44, 16, ROLL_0, "charging slash"},
        {KIRUNE_CHARGING_SLASH, 16, 0, 0, -100, 100, 0, 45, 17, ROLL_0, "charging slash"},
        {KIRUNE_CHARGING_SLASH, 19, 0, 0, -100, 100, 0, 46, 19, ROLL_0, "even pose"},
        {KIRUNE_CHASING_SLASH, 34, 0, 0, -100, 100, 0, 51, 20, ROLL_0, "odd pose"},
        {KIRUNE_CHASING_SLASH, 36, 0, 0, -100, 100, 0, 51, 17, ROLL_0, "late: sword 17"},
        {KIRUNE_CHASING_SLASH, 40, 0, 0, -100, 100, 0, 48, 17, ROLL_0, "the cycle past 51"},
        {KIRUNE_HEAVY_SHOT, 13, 0, 0, -100, 100, 0, 26, 1, ROLL_0, "heavy shot"},
        {KIRUNE_SHOT, 0, 0, 0, -100, 100, 2.0f, 20, 13, ROLL_LEFT,
         "aiming left: rolled back and mirrored"},
        {KIRUNE_SHOT, 0, 0, 0, -100, 100, HALF_PI, 20, 13, {true, RadianToAngle(HALF_PI), false},
         "aiming straight up: rolled, not mirrored"},
        {PLAYER_KNOCKED_BACK, 0, 0, 0, 100, -100, -HALF_PI, 57, NONE, {true, RadianToAngle(-HALF_PI), false},
         "aiming straight down: rolled, not mirrored"},
    };
    RunPoseTable(cases, KiruneModelDraws, [](const auto& c) {
        // The swords are drawn additively, the shots' weapon as the body.
        const bool sword = c.action <= 12 || c.action >= 16;
        return test::PoseAndPart(c.pose, c.action, sword ? 2 : 1);
    });
}

TEST_F(KiruneDrawing, NothingIsDrawnFrom180FramesOfKnockOutOnOrForAStateWithoutAPose) {
    players[0].state = PLAYER_KNOCKED_OUT;
    players[0].stateTimer = 180;
    EXPECT_TRUE(KiruneModelDraws(0).empty());
    players[0].state = 13;
    players[0].stateTimer = 0;
    EXPECT_TRUE(KiruneModelDraws(0).empty());
}

TEST_F(KiruneDrawing, ThePauseMenuShowsTheIdleCycleAndNothingIsDrawnRandomly) {
    players[0].counter = 16;
    Press(0, INPUT_RIGHT);
    battlePaused = 1;
    const uint32_t before = GetRandomState();
    const std::vector<CharacterModelDraw> draws = KiruneModelDraws(0);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].index, 2);
    EXPECT_EQ(GetRandomState(), before);
}

}  // namespace
