#include "game/characters/ruo_drawing.h"

#include <gtest/gtest.h>

#include "engine/core/math.h"
#include "game/arena/battle_state.h"
#include "game/characters/ruo.h"
#include "game/flow/numeric_helpers.h"
#include "tests/support/pose_table.h"

namespace {

using RuoDrawing = test::CharacterDrawingFixture<5>;
using namespace test;  // the shared turns of a row

constexpr int32_t NONE = -1;

TEST_F(RuoDrawing, PoseAndTurnOfEachState) {
    const test::PoseRow cases[] = {
        // Free flight: idle loop 0..7 on counter / 5, toward (8 9 10 9), away (11 12 13 12).
        {PLAYER_FREE, 0, 0, 0, -100, 100, 0, 0, UNTURNED, "idle"},
        {PLAYER_FREE, 0, 39, 0, -100, 100, 0, 7, UNTURNED, "idle, eighth step"},
        {PLAYER_FREE, 0, 40, 0, -100, 100, 0, 0, UNTURNED, "idle loops"},
        {PLAYER_FREE, 0, 10, INPUT_RIGHT, -100, 100, 0, 10, UNTURNED, "toward"},
        {PLAYER_FREE, 0, 15, INPUT_RIGHT, -100, 100, 0, 9, UNTURNED, "toward, fourth step"},
        {PLAYER_FREE, 0, 5, INPUT_LEFT, -100, 100, 0, 12, UNTURNED, "away"},
        {PLAYER_FREE, 0, 0, INPUT_DOWN, -100, 100, 0, 11, UNTURNED, "down counts as away"},
        {PLAYER_FREE, 0, 0, INPUT_LEFT, 100, -100, 0, 8, MIRRORED, "toward, opponent on the left"},
        {PLAYER_FREE, 0, 0, 0, 5, 5, 2.0f, 0, MIRRORED, "equal x: the opponent counts as left"},
        {PLAYER_FREE, 0, 0, 0, -100, 100, 2.0f, 0, UNTURNED, "free flight is never rolled"},
        {RUO_POWER_CHARGE, 30, 10, INPUT_RIGHT, -100, 100, 1.0f, 10, UNTURNED, "72 flies"},
        {RUO_POWER_HEAVY_SHOT, 30, 5, INPUT_LEFT, -100, 100, 1.0f, 12, UNTURNED, "74 flies"},
        {30, 5, 0, 0, 100, -100, 1.0f, 0, MIRRORED, "another character's state flies"},
        // Hit and knock-out.
        {PLAYER_KNOCKED_BACK, 3, 0, 0, -100, 100, 0, 47, ROLL_0, "hit"},
        {PLAYER_BLOWN_AWAY, 30, 0, 0, -100, 100, 0, 47, ROLL_0, "blown away"},
        {PLAYER_KNOCKED_OUT, 1, 0, 0, -100, 100, 0, 47, ROLL_0, "knocked out"},
        {PLAYER_KNOCKED_OUT, 2, 0, 0, -100, 100, 0, 48, ROLL_0, "knocked out, blinking"},
        {PLAYER_KNOCKED_OUT, 179, 0, 0, -100, 100, 0, 48, ROLL_0, "last frame shown"},
        {PLAYER_KNOCKED_OUT, 180, 0, 0, -100, 100, 0, NONE, ROLL_0, "gone with the blast"},
        // Dash: toward the opponent 14 15 16 15, away 17 18 19 18, on counter / 2.
        {PLAYER_DASH, 0, 2, 0, -100, 100, 0, 15, ROLL_0, "dash toward"},
        {PLAYER_DASH, 0, 7, 0, -100, 100, HALF_PI, 15, {true, RadianToAngle(HALF_PI), false}, "straight up is toward"},
        {PLAYER_DASH, 0, 4, 0, -100, 100, PI_F, 19, ROLL_0_MIRRORED, "dash away"},
        {PLAYER_DASH, 0, 4, 0, 100, -100, PI_F, 16, ROLL_0_MIRRORED, "the choice flips with the opponent"},
        {PLAYER_DASH, 0, 0, 0, 100, -100, HALF_PI, 14, {true, RadianToAngle(HALF_PI), false}, "up is toward, left too"},
        {PLAYER_DASH, 0, 6, 0, 100, -100, 0, 18, ROLL_0, "away from the left"},
        // Burst and shield.
        {PLAYER_BURST, 12, 0, 0, -100, 100, 0, 31, ROLL_0, "burst"},
        {PLAYER_SHIELD, 20, 0, 0, -100, 100, 0, 32, ROLL_0, "shield holds its last pose"},
        // Shots.
        {RUO_HEAVY_SHOTS, 5, 0, 0, -100, 100, 0, 21, ROLL_0, "heavy shots"},
        {RUO_SHOT_FAN, 40, 0, 0, -100, 100, 0, 23, ROLL_0, "fan, last pose"},
        {RUO_SHOT_STREAM, 8, 0, 0, -100, 100, 0, 26, ROLL_0, "stream"},
        {RUO_CROSSING_STREAMS, 30, 0, 0, -100, 100, 0, 28, ROLL_0, "crossing, last pose"},
        // Sword and high attacks.
        {RUO_LUNGE, 5, 0, 0, -100, 100, 0, 37, ROLL_0, "lunge, wind-up"},
        {RUO_SWORD_CHARGE, 13, 0, 0, -100, 100, 0, 38, ROLL_0, "charge swing"},
        {RUO_LUNGE, 21, 0, 0, -100, 100, 0, 41, ROLL_0, "lunge swing, last of the loop"},
        {RUO_STROKE_2, 7, 0, 0, -100, 100, 0, 42, ROLL_0, "stroke 2, wind-up"},
        {RUO_SPARK_FAN, 9, 0, 0, -100, 100, 0, 46, ROLL_0, "spark fan swing"},
        {RUO_STROKE_2, 12, 0, 0, -100, 100, 0, 43, ROLL_0, "stroke 2 loops"},
        {RUO_STROKE_3, 9, 0, 0, -100, 100, 0, 31, ROLL_0, "stroke 3"},
        {RUO_FINAL_STROKE, 4, 0, 0, -100, 100, 0, 34, ROLL_0, "final stroke"},
        {RUO_FINAL_STROKE, 20, 0, 0, -100, 100, 0, 35, ROLL_0, "final stroke, last pose"},
        {RUO_CLONE, 49, 0, 0, -100, 100, 0, 32, ROLL_0, "clone"},
        {RUO_CLONE_RING, 50, 0, 0, -100, 100, 0, 35, ROLL_0, "clone ring, the cut"},
        {RUO_POWER_UP, 3, 0, 0, -100, 100, 0, 23, ROLL_0, "power-up 23"},
        {RUO_POWER_UP, 4, 0, 0, -100, 100, 0, 22, ROLL_0, "power-up 22"},
        {RUO_POWER_UP, 8, 0, 0, -100, 100, 0, 20, ROLL_0, "power-up 21 shows 20"},
        {RUO_POWER_UP, 12, 0, 0, -100, 100, 0, 21, ROLL_0, "power-up from 12 shows 21"},
        {RUO_POWER_UP, 29, 0, 0, -100, 100, 0, 21, ROLL_0, "power-up, late"},
        // The grab: rush, swing, the cuts flipping every 8 frames, then the loop.
        {RUO_GRAB, 4, 0, 0, -100, 100, 0, 37, ROLL_0, "grab wind-up"},
        {RUO_GRAB, 119, 0, 0, -100, 100, 0, 41, ROLL_0, "grab swing"},
        {RUO_GRAB, 120, 0, 0, -100, 100, 0, 42, ROLL_0, "first cut (120 / 8 is odd)"},
        {RUO_GRAB, 127, 0, 0, -100, 100, 0, 45, ROLL_0, "first cut, last pose"},
        {RUO_GRAB, 130, 0, 0, -100, 100, 0, 38, ROLL_0, "second sweep"},
        {RUO_GRAB, 180, 0, 0, -100, 100, 0, 39, ROLL_0, "last cut frame"},
        {RUO_GRAB, 181, 0, 0, -100, 100, 0, 43, ROLL_0, "after the cuts"},
        // The hyper: rush, lift 42..46 then 43..46 looping, recovery.
        {RUO_HYPER, 99, 0, 0, -100, 100, 0, 39, ROLL_0, "hyper swing"},
        {RUO_HYPER, 100, 0, 0, -100, 100, 0, 42, ROLL_0, "lift"},
        {RUO_HYPER, 114, 0, 0, -100, 100, 0, 46, ROLL_0, "lift, top"},
        {RUO_HYPER, 115, 0, 0, -100, 100, 0, 44, ROLL_0, "lift loops"},
        {RUO_HYPER, 160, 0, 0, -100, 100, 0, 43, ROLL_0, "the blast"},
        {RUO_HYPER, 161, 0, 0, -100, 100, 0, 29, ROLL_0, "recovery"},
        {RUO_HYPER, 199, 0, 0, -100, 100, 0, 32, ROLL_0, "recovery, last pose"},
        // The turn toward the aim.
        {RUO_SHOT_STREAM, 0, 0, 0, -100, 100, 2.0f, 24, ROLL_LEFT,
         "aiming left: rolled back and mirrored"},
        {PLAYER_KNOCKED_BACK, 0, 0, 0, 100, -100, -HALF_PI, 47, {true, RadianToAngle(-HALF_PI), false},
         "aiming straight down: rolled, not mirrored"},
    };
    RunPoseTable(cases, RuoModelDraws);
}

TEST_F(RuoDrawing, ThePauseMenuShowsTheIdleLoopAndNothingIsDrawnRandomly) {
    players[0].counter = 30;
    Press(0, INPUT_RIGHT);
    battlePaused = 1;
    const uint32_t before = GetRandomState();
    const std::vector<CharacterModelDraw> draws = RuoModelDraws(0);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].index, 6);
    EXPECT_EQ(GetRandomState(), before);
}

TEST_F(RuoDrawing, EveryPoseOfEveryStateLiesInTheModelList) {
    for (int32_t state = 0; state <= 80; ++state) {
        for (int32_t t = 0; t <= 210; ++t) {
            players[0].state = state;
            players[0].stateTimer = t;
            players[0].counter = t * 7;
            for (const CharacterModelDraw& d : RuoModelDraws(0)) {
                EXPECT_GE(d.index, 0) << state << " " << t;
                EXPECT_LE(d.index, 48) << state << " " << t;
            }
        }
    }
}

}  // namespace
