#include "game/characters/nebu_drawing.h"

#include <gtest/gtest.h>

#include "engine/core/math.h"
#include "game/arena/battle_assets.h"
#include "game/arena/battle_state.h"
#include "game/characters/nebu.h"
#include "game/flow/numeric_helpers.h"
#include "tests/support/pose_table.h"

namespace {

using NebuDrawing = test::CharacterDrawingFixture<7>;
using namespace test;  // the shared turns of a row

// The state, stateTimer, counter, arrows, position and aim of side 0, and
// the pose drawn with its turn.
TEST_F(NebuDrawing, PoseAndTurnOfEachState) {
    const test::PoseRow cases[] = {
        // Standing: counter / 5, idle 0-3, toward the facing side 4-7, others 8-11.
        {PLAYER_FREE, 0, 0, 0, -100, 100, 0, 0, UNTURNED, "idle"},
        {PLAYER_FREE, 0, 19, 0, -100, 100, 0, 3, UNTURNED, "idle, fourth step"},
        {PLAYER_FREE, 0, 20, 0, -100, 100, 0, 0, UNTURNED, "idle wraps"},
        {PLAYER_FREE, 0, 5, INPUT_RIGHT, -100, 100, 0, 5, UNTURNED, "toward"},
        {PLAYER_FREE, 0, 15, INPUT_RIGHT | INPUT_UP, -100, 100, 0, 7, UNTURNED, "toward, with up"},
        {PLAYER_FREE, 0, 10, INPUT_LEFT, -100, 100, 0, 10, UNTURNED, "away"},
        {PLAYER_FREE, 0, 15, INPUT_DOWN, -100, 100, 0, 11, UNTURNED, "down counts as other"},
        {PLAYER_FREE, 0, 0, INPUT_LEFT, 100, -100, 0, 4, MIRRORED, "toward, facing left"},
        {PLAYER_FREE, 0, 0, INPUT_RIGHT, 100, -100, 0, 8, MIRRORED, "away, facing left"},
        {PLAYER_FREE, 0, 0, 0, 5, 5, 2.0f, 0, MIRRORED, "equal x faces left"},
        {96, 0, 10, 0, -100, 100, 2.0f, 2, UNTURNED, "a state without a pose stands"},
        // Dashing toward the facing side rolls along the aim, never mirrored.
        {PLAYER_DASH, 0, 5, 0, -100, 100, 0, 14, ROLL_0, "dash toward"},
        {PLAYER_DASH, 0, 15, 0, -100, 100, 0, 19, ROLL_0, "dash toward, last"},
        {PLAYER_DASH, 0, 16, 0, -100, 100, 0, 12, ROLL_0, "dash toward wraps"},
        {PLAYER_DASH, 0, 0, 0, -100, 100, HALF_PI, 12, {true, RadianToAngle(HALF_PI), false}, "straight up is toward"},
        {PLAYER_DASH, 0, 0, 0, 100, -100, PI_F, 12, {true, RadianToAngle(PI_F), false}, "toward, facing left"},
        {PLAYER_DASH, 0, 0, 0, 100, -100, -HALF_PI, 12, {true, RadianToAngle(-HALF_PI), false}, "down, facing left"},
        // Away: four poses in order, no ping-pong, tilted.
        {PLAYER_DASH, 0, 0, 0, -100, 100, 2.0f, 20, ROLL_LEFT, "dash away"},
        {PLAYER_DASH, 0, 3, 0, -100, 100, 2.0f, 21, ROLL_LEFT, "dash away"},
        {PLAYER_DASH, 0, 6, 0, -100, 100, 2.0f, 22, ROLL_LEFT, "dash away"},
        {PLAYER_DASH, 0, 9, 0, -100, 100, 2.0f, 23, ROLL_LEFT, "dash away, fourth"},
        {PLAYER_DASH, 0, 12, 0, -100, 100, 2.0f, 20, ROLL_LEFT, "dash away wraps"},
        {PLAYER_DASH, 0, 0, 0, 100, -100, 0.5f, 20, {true, RadianToAngle(0.5f), false}, "away, facing left"},
        {PLAYER_KNOCKED_BACK, 3, 0, 0, -100, 100, 0, 72, ROLL_0, "hit"},
        {PLAYER_BLOWN_AWAY, 30, 0, 0, -100, 100, 2.0f, 72, ROLL_LEFT, "blown away"},
        {PLAYER_BURST, 0, 0, 0, -100, 100, 0, 41, ROLL_0, "burst"},
        {PLAYER_BURST, 29, 0, 0, -100, 100, 0, 46, ROLL_0, "burst, last pose"},
        {PLAYER_SHIELD, 12, 0, 0, -100, 100, 0, 43, ROLL_0, "shield"},
        {PLAYER_SHIELD, 40, 0, 0, -100, 100, 0, 46, ROLL_0, "shield holds its last pose"},
        {PLAYER_KNOCKED_OUT, 0, 0, 0, -100, 100, 0, 72, ROLL_0, "knocked out"},
        {PLAYER_KNOCKED_OUT, 3, 0, 0, -100, 100, 0, 73, ROLL_0, "knocked out, blinking"},
        {PLAYER_KNOCKED_OUT, 4, 0, 0, -100, 100, 0, 72, ROLL_0, "knocked out, blinking back"},
        {PLAYER_KNOCKED_OUT, 179, 0, 0, -100, 100, 0, 73, ROLL_0, "knocked out, last frame shown"},
        // The shots and beams: 24 to frame 10, then a step every 3 frames up to 28.
        {NEBU_TWIN_SHOT, 10, 0, 0, -100, 100, 0, 24, ROLL_0, "twin shot, waiting"},
        {NEBU_ORBIT_SHOTS, 13, 0, 0, -100, 100, 0, 25, ROLL_0, "orbit shots"},
        {NEBU_REAR_VOLLEY, 22, 0, 0, -100, 100, 2.0f, 28, ROLL_LEFT, "rear volley, last pose"},
        {NEBU_REAR_STORM, 21, 0, 0, -100, 100, 0, 27, ROLL_0, "rear storm"},
        {NEBU_CLOSING_RING, 70, 0, 0, -100, 100, 0, 28, ROLL_0, "closing ring"},
        {NEBU_BEAM, 0, 0, 0, -100, 100, 0, 24, ROLL_0, "beam"},
        {NEBU_SWEEP_BEAM, 16, 0, 0, -100, 100, 0, 26, ROLL_0, "sweep beam"},
        // 29 + t / 3, cycling 37 38 39 40 36 past 40.
        {NEBU_STAR_BURST, 0, 0, 0, -100, 100, 0, 29, ROLL_0, "star burst"},
        {NEBU_CHAIN, 33, 0, 0, -100, 100, 0, 40, ROLL_0, "chain, before the loop"},
        {NEBU_CHAIN, 36, 0, 0, -100, 100, 0, 37, ROLL_0, "chain loops"},
        {NEBU_CHAIN_VOLLEY, 45, 0, 0, -100, 100, 0, 40, ROLL_0, "chain volley, fourth of the loop"},
        {NEBU_CHAIN_VOLLEY, 48, 0, 0, -100, 100, 0, 36, ROLL_0, "and round to 36"},
        // The tri-spread and the fountain only mirror.
        {NEBU_TRI_SPREAD, 5, 0, 0, -100, 100, 0, 41, UNTURNED, "tri-spread, waiting"},
        {NEBU_TRI_SPREAD, 8, 0, 0, -100, 100, 2.0f, 42, MIRRORED, "tri-spread aiming left"},
        {NEBU_TRI_SPREAD, 100, 0, 0, -100, 100, HALF_PI, 46, UNTURNED, "straight up is not mirrored"},
        {NEBU_FOUNTAIN, 0, 0, 0, -100, 100, 0, 47, UNTURNED, "fountain"},
        {NEBU_FOUNTAIN, 35, 0, 0, -100, 100, 0, 58, UNTURNED, "fountain, before the loop"},
        {NEBU_FOUNTAIN, 36, 0, 0, -100, 100, 0, 51, UNTURNED, "fountain loops"},
        {NEBU_FOUNTAIN, 59, 0, 0, -100, 100, 0, 58, UNTURNED, "ninth of the loop"},
        {NEBU_FOUNTAIN, 60, 0, 0, -100, 100, -2.0f, 50, MIRRORED, "loop wraps"},
        {NEBU_FOUNTAIN, 120, 0, 0, -100, 100, 0, 52, UNTURNED, "last frame"},
        // The wheel: 59 until 20, then 59 + (t - 20) / 3, cycling 62-65, 61 past 65.
        {NEBU_WHEEL, 19, 0, 0, -100, 100, 0, 59, ROLL_0, "wheel, waiting"},
        {NEBU_WHEEL, 23, 0, 0, -100, 100, 0, 60, ROLL_0, "wheel"},
        {NEBU_WHEEL, 38, 0, 0, -100, 100, 0, 65, ROLL_0, "wheel, before the loop"},
        {NEBU_WHEEL, 41, 0, 0, -100, 100, 0, 62, ROLL_0, "wheel loops"},
        {NEBU_WHEEL, 50, 0, 0, -100, 100, 0, 65, ROLL_0, "and on"},
        {NEBU_WHEEL, 53, 0, 0, -100, 100, 0, 61, ROLL_0, "and on"},
        // The burst strike: 66 + t / 3, cycling 67-71 past 71.
        {NEBU_BURST_STRIKE, 0, 0, 0, -100, 100, 0, 66, ROLL_0, "burst strike"},
        {NEBU_BURST_STRIKE, 17, 0, 0, -100, 100, 0, 71, ROLL_0, "before the loop"},
        {NEBU_BURST_STRIKE, 18, 0, 0, -100, 100, 0, 67, ROLL_0, "loops"},
        {NEBU_BURST_STRIKE, 32, 0, 0, -100, 100, 0, 71, ROLL_0, "fifth of the loop"},
        {NEBU_BURST_STRIKE, 33, 0, 0, -100, 100, 0, 67, ROLL_0, "again"},
        {NEBU_BURST_STRIKE, 10, 0, 0, -100, 100, -HALF_PI, 69, {true, RadianToAngle(-HALF_PI), false},
         "straight down: rolled, not mirrored"},
    };
    RunPoseTable(cases, NebuModelDraws);
}

// The looping poses keep cycling for as long as their state can last, and
// never leave the poses that the battle loads for nebu (74, mdl00 to mdl73).
TEST_F(NebuDrawing, EveryStatesPosesStayWithinTheArchive) {
    const CharacterFrameSet* loaded = FindCharacterFrameSet(7);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->frames, 74);
    EXPECT_EQ(loaded->actions, 0) << "nebu draws no action Models";
    for (int32_t state = 0; state <= 104; ++state) {
        for (int32_t t = 0; t <= 200; ++t) {
            players[0].state = state;
            players[0].stateTimer = t;
            players[0].counter = t * 7;
            const std::vector<CharacterModelDraw> draws = NebuModelDraws(0);
            if (state == PLAYER_KNOCKED_OUT && t >= 180) {
                EXPECT_TRUE(draws.empty()) << t;
                continue;
            }
            ASSERT_EQ(draws.size(), 1u) << state << " at " << t;
            EXPECT_GE(draws[0].index, 0) << state << " at " << t;
            EXPECT_LT(draws[0].index, loaded->frames) << state << " at " << t;
        }
    }
}

TEST_F(NebuDrawing, ThePauseMenuShowsTheIdleCycleAndNothingIsDrawnRandomly) {
    players[0].characterId = 7;
    players[0].counter = 12;
    Press(0, INPUT_RIGHT);
    battlePaused = 1;
    const uint32_t before = GetRandomState();
    const std::vector<CharacterModelDraw> draws = NebuModelDraws(0);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].index, 2);
    EXPECT_EQ(GetRandomState(), before);
    battlePaused = 0;
    EXPECT_EQ(NebuModelDraws(0)[0].index, 6) << "unpaused, the arrow counts";
}

}  // namespace
