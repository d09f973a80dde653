#include "game/characters/perila_drawing.h"

#include <gtest/gtest.h>

#include "engine/core/math.h"
#include "game/arena/battle_state.h"
#include "game/characters/perila.h"
#include "game/flow/numeric_helpers.h"
#include "tests/support/pose_table.h"

namespace {

using PerilaDrawing = test::CharacterDrawingFixture<4>;
using namespace test;  // the shared turns of a row

TEST_F(PerilaDrawing, PoseAndTurnOfEachState) {
    const test::PoseRow cases[] = {
        // Standing: the idle cycle 0 1 2 1, steps toward (3 4 5 4) and away (6 7 8 7), every 5 counts.
        {PLAYER_FREE, 0, 0, 0, -100, 100, 2.0f, 0, UNTURNED, "idle, never rolled"},
        {PLAYER_FREE, 0, 10, 0, -100, 100, 0, 2, UNTURNED, "idle, third step"},
        {PLAYER_FREE, 0, 15, 0, -100, 100, 0, 1, UNTURNED, "idle, fourth step shows the second"},
        {PLAYER_FREE, 0, 20, 0, -100, 100, 0, 0, UNTURNED, "idle cycle starts over"},
        {PLAYER_FREE, 0, 5, INPUT_RIGHT, -100, 100, 0, 4, UNTURNED, "toward"},
        {PLAYER_FREE, 0, 15, INPUT_RIGHT | INPUT_UP, -100, 100, 0, 4, UNTURNED, "toward, fourth step"},
        {PLAYER_FREE, 0, 10, INPUT_LEFT, -100, 100, 0, 8, UNTURNED, "away"},
        {PLAYER_FREE, 0, 15, INPUT_DOWN, -100, 100, 0, 7, UNTURNED, "down counts as away"},
        {PLAYER_FREE, 0, 0, INPUT_LEFT, 100, -100, 0, 3, MIRRORED, "toward, facing left"},
        {PLAYER_FREE, 0, 0, INPUT_RIGHT, 100, -100, 0, 6, MIRRORED, "away, facing left"},
        {PLAYER_FREE, 0, 0, INPUT_RIGHT, 5, 5, 0, 6, MIRRORED, "equal x faces left"},
        {47, 0, 5, 0, -100, 100, 0, 1, UNTURNED, "a state without a pose stands"},
        {PLAYER_KNOCKED_BACK, 0, 0, 0, -100, 100, 0, 51, ROLL_0, "knocked back"},
        {PLAYER_BLOWN_AWAY, 9, 0, 0, -100, 100, 2.0f, 51, ROLL_LEFT, "blown away"},
        {PLAYER_KNOCKED_OUT, 1, 0, 0, -100, 100, 0, 51, ROLL_0, "knocked out, blinking"},
        {PLAYER_KNOCKED_OUT, 2, 0, 0, -100, 100, 0, 52, ROLL_0, "knocked out, other pose"},
        {PLAYER_KNOCKED_OUT, 179, 0, 0, -100, 100, 0, 52, ROLL_0, "knocked out, last frame shown"},
        // Dash toward the opponent: 9..16 every 2 counts; away: 17 18 19 18.
        {PLAYER_DASH, 0, 5, 0, -100, 100, 0, 11, ROLL_0, "dash toward"},
        {PLAYER_DASH, 0, 15, 0, -100, 100, HALF_PI, 16, {true, RadianToAngle(HALF_PI), false}, "straight up is toward"},
        {PLAYER_DASH, 0, 16, 0, 100, -100, PI_F, 9, {true, RadianToAngle(0.0f), true}, "toward, facing left: mirrored"},
        {PLAYER_DASH, 0, 0, 0, 100, -100, -HALF_PI, 9, {true, RadianToAngle(-HALF_PI), false}, "straight down, facing left"},
        {PLAYER_DASH, 0, 6, 0, -100, 100, 2.0f, 18, ROLL_LEFT, "dash away, fourth step"},
        {PLAYER_DASH, 0, 4, 0, 100, -100, 0, 19, ROLL_0, "dash away, facing left"},
        {PLAYER_BURST, 12, 0, 0, -100, 100, 0, 22, ROLL_0, "burst"},
        {PLAYER_SHIELD, 60, 0, 0, -100, 100, 0, 30, ROLL_0, "shield holds at 30"},
        {PERILA_VOLLEY, 7, 0, 0, -100, 100, 0, 47, ROLL_0, "volley"},
        {PERILA_DOUBLE_VOLLEY, 40, 0, 0, -100, 100, 0, 50, ROLL_0, "double volley holds at 50"},
        {PERILA_CURVING_SHOTS, 0, 0, 0, -100, 100, 2.0f, 45, ROLL_LEFT, "curving shots"},
        {PERILA_BEAMS, 14, 0, 0, -100, 100, 0, 49, ROLL_0, "beams"},
        {PERILA_SPINNING_SHOTS, 12, 0, 0, -100, 100, 0, 40, ROLL_0, "spinning shots"},
        {PERILA_SPINNING_HEAVY, 50, 0, 0, -100, 100, 0, 44, ROLL_0, "spinning heavy shots hold at 44"},
        {PERILA_BEAM_VOLLEY, 3, 0, 0, -100, 100, 0, 37, ROLL_0, "beam volley"},
        {PERILA_SEEKERS, 8, 0, 0, -100, 100, 0, 33, ROLL_0, "seekers"},
        {PERILA_SEEKERS, 30, 0, 0, -100, 100, 0, 35, ROLL_0, "seekers hold at 35"},
        {PERILA_MORE_SEEKERS, 19, 0, 0, -100, 100, 0, 31, ROLL_0, "more seekers start over at 31"},
        {PERILA_MORE_SEEKERS, 27, 0, 0, -100, 100, 0, 34, ROLL_0, "more seekers"},
        {PERILA_MORE_SEEKERS, 40, 0, 0, -100, 100, 0, 35, ROLL_0, "more seekers hold at 35"},
        // High and hyper attacks: 20..30, then the loop 22..30; mirrored, never rolled.
        {PERILA_SWARM, 0, 0, 0, -100, 100, 0.3f, 20, UNTURNED, "swarm, never rolled"},
        {PERILA_BLADES, 30, 0, 0, -100, 100, 2.0f, 30, MIRRORED, "blades at 30, aiming left"},
        {PERILA_HYPER, 33, 0, 0, -100, 100, 0, 23, UNTURNED, "the loop starts at 23"},
        {PERILA_HYPER, 54, 0, 0, -100, 100, 0, 30, UNTURNED, "the loop's end"},
        {PERILA_SWARM, 57, 0, 0, -100, 100, 0, 22, UNTURNED, "the loop's start"},
        {PERILA_BLADES, 60, 0, 0, 100, -100, -HALF_PI, 23, UNTURNED, "straight down is not mirrored"},
        {PERILA_HYPER, 3, 0, 0, 100, -100, -2.0f, 21, MIRRORED, "hyper aiming left"},
    };
    RunPoseTable(cases, PerilaModelDraws);
}

TEST_F(PerilaDrawing, NothingIsDrawnFromTheKnockOutBlastOn) {
    players[0].state = PLAYER_KNOCKED_OUT;
    for (const int32_t t : {180, 181, 400}) {
        players[0].stateTimer = t;
        EXPECT_TRUE(PerilaModelDraws(0).empty()) << t;
    }
}

TEST_F(PerilaDrawing, ThePauseMenuShowsTheIdleCycleAndNothingIsDrawnRandomly) {
    players[0].counter = 10;
    Press(0, INPUT_RIGHT);
    battlePaused = 1;
    const uint32_t before = GetRandomState();
    const PlayerRecord copy = players[0];
    const std::vector<CharacterModelDraw> draws = PerilaModelDraws(0);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].index, 2);
    EXPECT_EQ(GetRandomState(), before);
    EXPECT_EQ(players[0].counter, copy.counter);
    EXPECT_EQ(players[0].stateTimer, copy.stateTimer);
}

}  // namespace
