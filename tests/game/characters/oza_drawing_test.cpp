#include "game/characters/oza_drawing.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/core/math.h"
#include "game/arena/battle_state.h"
#include "game/characters/oza.h"
#include "game/flow/numeric_helpers.h"
#include "tests/support/pose_table.h"

namespace {

using OzaDrawing = test::CharacterDrawingFixture<3>;
using namespace test;  // the shared turns of a row

constexpr int32_t NONE = -1;

struct Case {
    int32_t state, t, c;
    InputWord arrows;
    float x, opponentX, aim;
    int32_t before, pose, after;  // the part under the body, the pose, the part over it
    Turn turn;
    const char* what;
};

TEST_F(OzaDrawing, PosePartsAndTurnOfEachState) {
    const Case cases[] = {
        // Standing: the idle cycle 0 1 2 1, the steps toward (3 4 5 4) and away (6 7 8 7), by counter / 5.
        {PLAYER_FREE, 0, 0, 0, -100, 100, 0, NONE, 0, NONE, UNTURNED, "idle"},
        {PLAYER_FREE, 0, 10, 0, -100, 100, 0, NONE, 2, NONE, UNTURNED, "idle, third step"},
        {PLAYER_FREE, 0, 15, 0, -100, 100, 0, NONE, 1, NONE, UNTURNED, "idle, fourth step"},
        {PLAYER_FREE, 0, 5, INPUT_RIGHT, -100, 100, 0, NONE, 4, NONE, UNTURNED, "toward"},
        {PLAYER_FREE, 0, 19, INPUT_RIGHT, -100, 100, 0, NONE, 4, NONE, UNTURNED, "toward, fourth step"},
        {PLAYER_FREE, 0, 10, INPUT_LEFT, -100, 100, 0, NONE, 8, NONE, UNTURNED, "away"},
        {PLAYER_FREE, 0, 15, INPUT_UP, -100, 100, 0, NONE, 7, NONE, UNTURNED, "up counts as away"},
        {PLAYER_FREE, 0, 0, INPUT_LEFT, 100, -100, 0, NONE, 3, NONE, MIRRORED, "toward, facing left"},
        {PLAYER_FREE, 0, 0, INPUT_RIGHT, 100, -100, 0, NONE, 6, NONE, MIRRORED, "away, facing left"},
        {PLAYER_FREE, 0, 0, 0, 5, 5, 0.5f, NONE, 0, NONE, MIRRORED, "equal x faces left, aim ignored"},
        {46, 0, 20, 0, -100, 100, 0, NONE, 0, NONE, UNTURNED, "a state without a row stands"},
        // Hit, knocked out (blinking 38 and 39 every two frames), dashes.
        {PLAYER_KNOCKED_BACK, 0, 0, 0, -100, 100, 0, NONE, 38, NONE, ROLL_0, "hit"},
        {PLAYER_BLOWN_AWAY, 20, 0, 0, -100, 100, 2.0f, NONE, 38, NONE, ROLL_LEFT, "blown away"},
        {PLAYER_KNOCKED_OUT, 3, 0, 0, -100, 100, 0, NONE, 39, NONE, ROLL_0, "knocked out, odd"},
        {PLAYER_KNOCKED_OUT, 4, 0, 0, -100, 100, 0, NONE, 38, NONE, ROLL_0, "knocked out, even"},
        {PLAYER_KNOCKED_OUT, 179, 0, 0, -100, 100, 0, NONE, 39, NONE, ROLL_0, "knocked out, last frame shown"},
        {PLAYER_DASH, 0, 2, 0, -100, 100, 0, NONE, 10, NONE, ROLL_0, "dash toward"},
        {PLAYER_DASH, 0, 4, 0, -100, 100, 0, NONE, 11, NONE, ROLL_0, "dash toward, third step"},
        {PLAYER_DASH, 0, 7, 0, -100, 100, 0, NONE, 10, NONE, ROLL_0, "dash toward, fourth step"},
        {PLAYER_DASH, 0, 4, 0, -100, 100, 2.0f, NONE, 14, NONE, ROLL_LEFT, "dash away"},
        {PLAYER_DASH, 0, 0, 0, 100, -100, 2.0f, NONE, 9, NONE, ROLL_LEFT, "dash toward, facing left"},
        {PLAYER_DASH, 0, 0, 0, 100, -100, 0, NONE, 12, NONE, ROLL_0, "dash away, facing left"},
        {PLAYER_DASH, 0, 0, 0, -100, 100, HALF_PI, NONE, 9, NONE, {true, RadianToAngle(HALF_PI), false},
         "straight up counts as toward"},
        {PLAYER_DASH, 0, 0, 0, 100, -100, -HALF_PI, NONE, 9, NONE, {true, RadianToAngle(-HALF_PI), false},
         "straight down, facing left: toward, not mirrored"},
        {PLAYER_BURST, 12, 0, 0, -100, 100, 0, NONE, 17, NONE, ROLL_0, "burst"},
        {PLAYER_SHIELD, 0, 0, 0, -100, 100, 0, NONE, 15, NONE, ROLL_0, "shield"},
        {PLAYER_SHIELD, 30, 0, 0, -100, 100, 0, NONE, 20, NONE, ROLL_0, "shield holds its last pose"},
        // The volleys: the gun (part 0, then 1) under the body.
        {OZA_SHOT, 0, 0, 0, -100, 100, 0, 0, 15, NONE, ROLL_0, "shot"},
        {OZA_SHOT, 3, 0, 0, -100, 100, 0, 0, 15, NONE, ROLL_0, "shot, last frame of part 0"},
        {OZA_SHOT, 4, 0, 0, -100, 100, 0, 1, 16, NONE, ROLL_0, "shot, part 1"},
        {OZA_VOLLEY, 8, 0, 0, -100, 100, 0, 1, 16, NONE, ROLL_0, "volley, k 0"},
        {OZA_VOLLEY, 11, 0, 0, -100, 100, 0, 1, 17, NONE, ROLL_0, "volley, k 1"},
        {OZA_VOLLEY, 20, 0, 0, -100, 100, 0, 1, 20, NONE, ROLL_0, "volley, k 4"},
        {OZA_VOLLEY, 23, 0, 0, -100, 100, 0, 1, 19, NONE, ROLL_0, "volley, k 5 loops"},
        {OZA_MOVING_VOLLEY, 26, 0, 0, -100, 100, 0, 1, 20, NONE, ROLL_0, "moving volley, k 6"},
        {OZA_MOVING_VOLLEY, 29, 0, 0, -100, 100, 2.0f, 1, 18, NONE, ROLL_LEFT, "moving volley, k 7, aiming left"},
        // The mines: no part, mirrored by the aim, never rolled.
        {OZA_MINE, 0, 0, 0, -100, 100, 0, NONE, 27, NONE, UNTURNED, "mine"},
        {OZA_MINE, 13, 0, 0, -100, 100, 2.0f, NONE, 30, NONE, MIRRORED, "mine, aiming left"},
        {OZA_MINE_CROSS, 40, 0, 0, -100, 100, HALF_PI, NONE, 30, NONE, UNTURNED, "straight up: not mirrored"},
        {OZA_MINE_CROSS, 5, 0, 0, -100, 100, -2.0f, NONE, 28, NONE, MIRRORED, "mine cross, down left"},
        // The fans and the large shot: parts 2 and 3 about the body, then 4 and 5.
        {OZA_SPRAY, 0, 0, 0, -100, 100, 0, 2, 21, 3, ROLL_0, "spray"},
        {OZA_SPRAY, 3, 0, 0, -100, 100, 0, 2, 21, 3, ROLL_0, "spray, last frame of parts 2, 3"},
        {OZA_SPRAY, 4, 0, 0, -100, 100, 0, 4, 22, 5, ROLL_0, "spray, parts 4, 5"},
        {OZA_SPRAY, 9, 0, 0, -100, 100, 0, 4, 23, 5, ROLL_0, "spray, at most 23 before 10"},
        {OZA_FAN, 10, 0, 0, -100, 100, 0, 4, 23, 5, ROLL_0, "fan, k 0"},
        {OZA_FAN, 19, 0, 0, -100, 100, 0, 4, 26, 5, ROLL_0, "fan, k 3"},
        {OZA_WIDE_FAN, 22, 0, 0, -100, 100, 0, 4, 24, 5, ROLL_0, "wide fan, k 4 loops"},
        {OZA_LARGE_SHOT, 31, 0, 0, -100, 100, 2.0f, 4, 23, 5, ROLL_LEFT, "large shot, k 7, aiming left"},
        // The beams: the cannon over the body once it is raised.
        {OZA_BEAM, 0, 0, 0, -100, 100, 0, NONE, 30, NONE, ROLL_0, "beam, no part"},
        {OZA_BEAM, 4, 0, 0, -100, 100, 0, NONE, 30, NONE, ROLL_0, "beam, last frame without part"},
        {OZA_BEAM, 5, 0, 0, -100, 100, 0, NONE, 31, 6, ROLL_0, "beam, part 6"},
        {OZA_BEAM, 19, 0, 0, -100, 100, 0, NONE, 31, 6, ROLL_0, "beam, at most 31 before 20"},
        {OZA_BEAM, 20, 0, 0, -100, 100, 0, NONE, 36, 7, ROLL_0, "beam, k counted from 8"},
        {OZA_BEAM, 23, 0, 0, -100, 100, 0, NONE, 37, 7, ROLL_0, "beam, k 5"},
        {OZA_HYPER, 26, 0, 0, -100, 100, 0, NONE, 35, 7, ROLL_0, "hyper, k 6 loops"},
        {OZA_HYPER, 35, 0, 0, -100, 100, 0, NONE, 34, 7, ROLL_0, "hyper, k 9"},
        {OZA_HYPER, 50, 0, 0, -100, 100, -HALF_PI, NONE, 35, 7, {true, RadianToAngle(-HALF_PI), false},
         "straight down: rolled, not mirrored"},
    };
    RunPoseTable(cases, OzaModelDraws, [](const Case& c) {
        std::vector<test::ExpectedModel> models;
        if (c.before != NONE) models.push_back(test::Part(c.before));
        models.push_back(test::Pose(c.pose));
        if (c.after != NONE) models.push_back(test::Part(c.after));
        return models;
    });
}

TEST_F(OzaDrawing, NothingIsDrawnFrom180FramesOfKnockOutOn) {
    players[0].state = PLAYER_KNOCKED_OUT;
    for (int32_t t : {180, 181, 400}) {
        players[0].stateTimer = t;
        EXPECT_TRUE(OzaModelDraws(0).empty()) << t;
    }
}

TEST_F(OzaDrawing, ThePauseMenuShowsTheIdleCycleAndNothingIsDrawnRandomly) {
    players[0].counter = 10;
    Press(0, INPUT_RIGHT);
    battlePaused = 1;
    const uint32_t before = GetRandomState();
    const PlayerRecord copy = players[0];
    const std::vector<CharacterModelDraw> draws = OzaModelDraws(0);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].index, 2);
    EXPECT_EQ(GetRandomState(), before);
    EXPECT_EQ(players[0].state, copy.state);
    EXPECT_EQ(players[0].counter, copy.counter);
}

}  // namespace
