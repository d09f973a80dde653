#include "game/characters/torvi_drawing.h"

#include <gtest/gtest.h>

#include "engine/core/math.h"
#include "game/arena/battle_state.h"
#include "game/characters/torvi.h"
#include "game/flow/numeric_helpers.h"
#include "tests/support/pose_table.h"

namespace {

using TorviDrawing = test::CharacterDrawingFixture<6>;
using namespace test;  // the shared turns of a row

TEST_F(TorviDrawing, PoseAndTurnOfEachState) {
    const test::PoseRow cases[] = {
        // Standing: the idle cycle 0 1 2 2, steps toward (3 4 5 4) and away (6 7 8 7), every 5 counts.
        {PLAYER_FREE, 0, 4, 0, -100, 100, 2.0f, 0, UNTURNED, "idle, never rolled"},
        {PLAYER_FREE, 0, 5, 0, -100, 100, 0, 1, UNTURNED, "idle, second step"},
        {PLAYER_FREE, 0, 10, 0, -100, 100, 0, 2, UNTURNED, "idle, third step"},
        {PLAYER_FREE, 0, 19, 0, -100, 100, 0, 2, UNTURNED, "idle rests on 2 for the fourth step"},
        {PLAYER_FREE, 0, 20, 0, -100, 100, 0, 0, UNTURNED, "idle cycle starts over"},
        {PLAYER_FREE, 0, 10, INPUT_RIGHT, -100, 100, 0, 5, UNTURNED, "toward"},
        {PLAYER_FREE, 0, 15, INPUT_RIGHT | INPUT_UP, -100, 100, 0, 4, UNTURNED, "toward, fourth step"},
        {PLAYER_FREE, 0, 10, INPUT_LEFT, -100, 100, 0, 8, UNTURNED, "away"},
        {PLAYER_FREE, 0, 15, INPUT_DOWN, -100, 100, 0, 7, UNTURNED, "down counts as away"},
        {PLAYER_FREE, 0, 0, INPUT_LEFT, 100, -100, 0, 3, MIRRORED, "toward, facing left"},
        {PLAYER_FREE, 0, 0, INPUT_RIGHT, 5, 5, 0, 6, MIRRORED, "equal x faces left"},
        {83, 0, 5, 0, -100, 100, 0, 1, UNTURNED, "a state without a pose stands"},
        {TORVI_STORM, 30, 5, 0, -100, 100, 2.0f, 1, UNTURNED, "the storm: standing poses, never aimed"},
        {TORVI_STORM, 30, 0, INPUT_LEFT, 100, -100, 0.3f, 3, MIRRORED, "the storm turns only by facing"},
        {PLAYER_KNOCKED_BACK, 0, 0, 0, -100, 100, 0, 43, ROLL_0, "knocked back"},
        {PLAYER_BLOWN_AWAY, 9, 0, 0, -100, 100, 2.0f, 43, ROLL_LEFT, "blown away"},
        {PLAYER_KNOCKED_OUT, 1, 0, 0, -100, 100, 0, 43, ROLL_0, "knocked out, blinking"},
        {PLAYER_KNOCKED_OUT, 2, 0, 0, -100, 100, 0, 44, ROLL_0, "knocked out, other pose"},
        {PLAYER_KNOCKED_OUT, 179, 0, 0, -100, 100, 0, 44, ROLL_0, "knocked out, last frame shown"},
        // Dash with the aim toward the facing side: 9 10 11 10 every 2 counts; else 12 13 14 13.
        {PLAYER_DASH, 0, 4, 0, -100, 100, 0, 11, ROLL_0, "dash toward"},
        {PLAYER_DASH, 0, 6, 0, -100, 100, HALF_PI, 10, {true, RadianToAngle(HALF_PI), false}, "straight up is toward"},
        {PLAYER_DASH, 0, 2, 0, 100, -100, PI_F, 10, {true, RadianToAngle(0.0f), true}, "toward, facing left"},
        {PLAYER_DASH, 0, 0, 0, 100, -100, -HALF_PI, 9, {true, RadianToAngle(-HALF_PI), false}, "straight down, facing left"},
        {PLAYER_DASH, 0, 6, 0, -100, 100, 2.0f, 13, ROLL_LEFT, "dash away, fourth step"},
        {PLAYER_DASH, 0, 4, 0, 100, -100, 0, 14, ROLL_0, "dash away, facing left"},
        {PLAYER_BURST, 12, 0, 0, -100, 100, 0, 17, ROLL_0, "burst"},
        {PLAYER_SHIELD, 60, 0, 0, -100, 100, 0, 18, ROLL_0, "shield holds at 18"},
        {TORVI_CLOSE_SHOTS, 4, 0, 0, -100, 100, 0, 16, ROLL_0, "close shots, every 4"},
        {TORVI_RING, 20, 0, 0, -100, 100, 2.0f, 18, ROLL_LEFT, "ring holds at 18"},
        {TORVI_SHOT_CLOUD, 5, 0, 0, -100, 100, 0, 20, ROLL_0, "cloud, every 3"},
        {TORVI_REFLECTORS, 18, 0, 0, -100, 100, 0, 25, ROLL_0, "reflectors reach 25"},
        {TORVI_LANCES, 70, 0, 0, -100, 100, 2.0f, 25, ROLL_LEFT, "lances hold at 25"},
        {TORVI_VOLLEY, 0, 0, 0, -100, 100, 0.3f, 37, UNTURNED, "volley, never rolled"},
        {TORVI_SEED, 8, 0, 0, -100, 100, 2.0f, 39, MIRRORED, "seed aiming left: mirrored"},
        {TORVI_RAIN, 90, 0, 0, 100, -100, -HALF_PI, 42, UNTURNED, "rain holds at 42; straight down unmirrored"},
        {TORVI_BLOWS, 0, 0, 0, -100, 100, 0, 25, ROLL_0, "blows start at 25"},
        {TORVI_BLOWS, 47, 0, 0, -100, 100, 0, 36, ROLL_0, "blows reach 36"},
        {TORVI_BLOWS, 48, 0, 0, -100, 100, 0, 28, ROLL_0, "then loop from 28"},
        {TORVI_WAVES, 79, 0, 0, -100, 100, 0, 35, ROLL_0, "the loop's end"},
        {TORVI_WAVES, 80, 0, 0, -100, 100, 2.0f, 27, ROLL_LEFT, "the loop's start"},
    };
    RunPoseTable(cases, TorviModelDraws);
}

// Every pose any state and timer can choose is one of the 45 poses.
TEST_F(TorviDrawing, EveryPoseChosenIsAmongThe45) {
    for (int32_t state = 0; state <= 90; ++state) {
        for (int32_t t = 0; t < 200; t += 1) {
            players[0].state = state;
            players[0].stateTimer = t;
            players[0].counter = t;
            for (const CharacterModelDraw& d : TorviModelDraws(0)) {
                EXPECT_GE(d.index, 0) << state << " " << t;
                EXPECT_LE(d.index, 44) << state << " " << t;
            }
        }
    }
}

TEST_F(TorviDrawing, NothingIsDrawnFromTheKnockOutBlastOn) {
    players[0].state = PLAYER_KNOCKED_OUT;
    for (const int32_t t : {180, 181, 400}) {
        players[0].stateTimer = t;
        EXPECT_TRUE(TorviModelDraws(0).empty()) << t;
    }
}

TEST_F(TorviDrawing, ThePauseMenuShowsTheIdleCycleAndNothingIsDrawnRandomly) {
    players[0].counter = 15;
    Press(0, INPUT_RIGHT);
    battlePaused = 1;
    const uint32_t before = GetRandomState();
    const PlayerRecord copy = players[0];
    const std::vector<CharacterModelDraw> draws = TorviModelDraws(0);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].index, 2);
    EXPECT_EQ(GetRandomState(), before);
    EXPECT_EQ(players[0].counter, copy.counter);
    EXPECT_EQ(players[0].stateTimer, copy.stateTimer);
}

}  // namespace
