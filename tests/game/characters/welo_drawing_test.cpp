#include "game/characters/welo_drawing.h"

#include <gtest/gtest.h>

#include "engine/core/math.h"
#include "engine/graphics/device.h"
#include "engine/graphics/render_state.h"
#include "game/arena/battle_state.h"
#include "game/characters/welo.h"
#include "game/flow/numeric_helpers.h"
#include "tests/support/pose_table.h"
#include "tests/support/recording_device.h"

namespace {

using WeloDrawing = test::CharacterDrawingFixture<8>;
using namespace test;  // the shared turns of a row

constexpr int32_t NONE = -1;

// The blade (mode 2) or gun and body (mode 1) of a case.
enum Blend { BODY = 1, BLADE = 2 };

TEST_F(WeloDrawing, PoseActionBlendAndTurnOfEachState) {
    const struct {
        int32_t state, t, c;
        InputWord arrows;
        float x, opponentX, aim;
        int32_t pose, action;
        Blend blend;
        Turn turn;
        const char* what;
    } cases[] = {
        // Standing: the idle cycle 0 1 2 1, the steps toward (3 4 5 4) and away (6 7 8 7), every 5 frames.
        {PLAYER_FREE, 0, 0, 0, -100, 100, 0, 0, NONE, BODY, UNTURNED, "idle"},
        {PLAYER_FREE, 0, 15, 0, -100, 100, 0, 1, NONE, BODY, UNTURNED, "idle, fourth step"},
        {PLAYER_FREE, 0, 10, 0, -100, 100, 1.0f, 2, NONE, BODY, UNTURNED, "idle never rolls"},
        {PLAYER_FREE, 0, 5, INPUT_RIGHT, -100, 100, 0, 4, NONE, BODY, UNTURNED, "toward"},
        {PLAYER_FREE, 0, 15, INPUT_RIGHT, -100, 100, 0, 4, NONE, BODY, UNTURNED, "toward, fourth step"},
        {PLAYER_FREE, 0, 10, INPUT_LEFT, -100, 100, 0, 8, NONE, BODY, UNTURNED, "away"},
        {PLAYER_FREE, 0, 15, INPUT_DOWN, -100, 100, 0, 7, NONE, BODY, UNTURNED, "down counts as away"},
        {PLAYER_FREE, 0, 0, INPUT_LEFT, 100, -100, 0, 3, NONE, BODY, MIRRORED, "toward, facing left"},
        {PLAYER_FREE, 0, 0, 0, 5, 5, 2.0f, 0, NONE, BODY, MIRRORED, "equal x faces left"},
        {110, 0, 5, 0, 100, -100, 0, 1, NONE, BODY, MIRRORED, "a state without a pose stands"},
        {PLAYER_KNOCKED_BACK, 0, 0, 0, -100, 100, 0, 55, NONE, BODY, ROLL_0, "hit"},
        {PLAYER_BLOWN_AWAY, 9, 7, 0, -100, 100, 0, 55, NONE, BODY, ROLL_0, "blown away"},
        {PLAYER_KNOCKED_OUT, 1, 0, 0, -100, 100, 0, 55, NONE, BODY, ROLL_0, "knocked out"},
        {PLAYER_KNOCKED_OUT, 3, 0, 0, -100, 100, 0, 56, NONE, BODY, ROLL_0, "knocked out, blinking"},
        {PLAYER_KNOCKED_OUT, 179, 0, 0, -100, 100, 0, 56, NONE, BODY, ROLL_0, "knocked out, last frame shown"},
        // Dashing: toward the opponent 9..15 every 2 counts, away 16..19 every 3.
        {PLAYER_DASH, 0, 0, 0, -100, 100, 0, 9, NONE, BODY, ROLL_0, "dash toward"},
        {PLAYER_DASH, 0, 13, 0, -100, 100, 0, 15, NONE, BODY, ROLL_0, "dash toward, seventh pose"},
        {PLAYER_DASH, 0, 14, 0, -100, 100, 0, 9, NONE, BODY, ROLL_0, "dash toward, round again"},
        {PLAYER_DASH, 0, 11, 0, -100, 100, PI_F, 19, NONE, BODY, {true, RadianToAngle(0.0f), true},
         "dash away, fourth pose, mirrored"},
        {PLAYER_DASH, 0, 12, 0, -100, 100, PI_F, 16, NONE, BODY, {true, RadianToAngle(0.0f), true},
         "dash away, round again"},
        {PLAYER_DASH, 0, 2, 0, 100, -100, PI_F, 10, NONE, BODY, {true, RadianToAngle(0.0f), true},
         "dash toward a left opponent: mirrored"},
        {PLAYER_DASH, 0, 0, 0, -100, 100, HALF_PI, 9, NONE, BODY, {true, RadianToAngle(HALF_PI), false},
         "straight up counts as toward, facing right"},
        {PLAYER_DASH, 0, 0, 0, 100, -100, HALF_PI, 9, NONE, BODY, {true, RadianToAngle(HALF_PI), false},
         "and facing left"},
        {PLAYER_BURST, 12, 0, 0, -100, 100, 0, 42, NONE, BODY, ROLL_0, "burst"},
        {PLAYER_SHIELD, 70, 0, 0, -100, 100, 0, 50, NONE, BODY, ROLL_0, "shield holds its last pose"},
        // The gun.
        {WELO_SHOT, 11, 0, 0, -100, 100, 0, 20, 0, BODY, ROLL_0, "shot, drawing"},
        {WELO_SHOT, 15, 0, 0, -100, 100, 0, 21, 1, BODY, ROLL_0, "shot, raised"},
        {WELO_SHOT, 18, 0, 0, -100, 100, 0, 22, 2, BODY, ROLL_0, "shot, firing"},
        {WELO_SHOT, 40, 0, 0, -100, 100, 0, 24, 2, BODY, ROLL_0, "shot, last pose"},
        {WELO_MOVING_SHOTS, 15, 0, 0, -100, 100, 0, 20, 0, BODY, ROLL_0, "moving shots, drawing"},
        {WELO_MOVING_SHOTS, 19, 0, 0, -100, 100, 0, 21, 1, BODY, ROLL_0, "moving shots"},
        {WELO_CHARGED_SHOT, 39, 0, 0, -100, 100, 0, 20, 0, BODY, ROLL_0, "charging holds 20"},
        {WELO_CHASING_SHOT, 99, 0, 0, -100, 100, 0, 20, 0, BODY, ROLL_0, "chasing shot, still charging"},
        {WELO_CHARGED_SHOT, 104, 0, 0, -100, 100, 0, 21, 1, BODY, ROLL_0, "charged shot fired"},
        {WELO_CHASING_SHOT, 140, 0, 0, -100, 100, 0, 24, 2, BODY, ROLL_0, "chasing shot fired"},
        {WELO_RAY_BARRAGE, 30, 0, 0, -100, 100, 0, 20, 0, BODY, ROLL_0, "ray barrage"},
        {WELO_HYPER, 70, 0, 0, -100, 100, 0, 20, 0, BODY, ROLL_0, "hyper"},
        // The blade.
        {WELO_SLASH_1, 0, 0, 0, -100, 100, 0, 25, 3, BLADE, ROLL_0, "slash 1"},
        {WELO_SLASH_1, 9, 0, 0, -100, 100, 0, 27, 5, BLADE, ROLL_0, "slash 1, third pose"},
        {WELO_SLASH_1, 12, 0, 0, -100, 100, 0, 28, 6, BLADE, ROLL_0, "slash 1, fourth pose"},
        {WELO_SLASH_1, 30, 0, 0, -100, 100, 0, 29, 6, BLADE, ROLL_0, "slash 1, last pose"},
        {WELO_SLASH_2, 4, 0, 0, -100, 100, 0, 31, 8, BLADE, ROLL_0, "slash 2"},
        {WELO_SLASH_2, 8, 0, 0, -100, 100, 0, 32, 9, BLADE, ROLL_0, "slash 2"},
        {WELO_SLASH_2, 40, 0, 0, -100, 100, 0, 34, 10, BLADE, ROLL_0, "slash 2, last pose"},
        {WELO_THRUST, 5, 0, 0, -100, 100, 0, 36, 12, BLADE, ROLL_0, "thrust"},
        {WELO_THRUST, 12, 0, 0, -100, 100, 0, 38, 14, BLADE, ROLL_0, "thrust, fourth pose"},
        {WELO_FLASH_THRUST, 8, 0, 0, -100, 100, 0, 37, 13, BLADE, ROLL_0, "flash thrust"},
        {WELO_FLASH_THRUST, 50, 0, 0, -100, 100, 0, 39, 14, BLADE, ROLL_0, "flash thrust, last pose"},
        // The slash storm: 25 at first, then runs of 30.. (even tens) and 25.. (odd tens), 34 from 60.
        {WELO_SLASH_STORM, 4, 0, 0, -100, 100, 0, 25, 3, BLADE, ROLL_0, "storm, waiting"},
        {WELO_SLASH_STORM, 5, 0, 0, -100, 100, 0, 30, 7, BLADE, ROLL_0, "storm, even ten"},
        {WELO_SLASH_STORM, 9, 0, 0, -100, 100, 0, 32, 9, BLADE, ROLL_0, "storm, even ten"},
        {WELO_SLASH_STORM, 10, 0, 0, -100, 100, 0, 27, 5, BLADE, ROLL_0, "storm, odd ten: the first slash"},
        {WELO_SLASH_STORM, 14, 0, 0, -100, 100, 0, 29, 6, BLADE, ROLL_0, "storm, odd ten, last of the run"},
        {WELO_SLASH_STORM, 15, 0, 0, -100, 100, 0, 25, 3, BLADE, ROLL_0, "storm, the run starts over"},
        {WELO_SLASH_STORM, 21, 0, 0, -100, 100, 0, 33, 10, BLADE, ROLL_0, "storm, second slash"},
        {WELO_SLASH_STORM, 59, 0, 0, -100, 100, 0, 27, 5, BLADE, ROLL_0, "storm, fifth run"},
        {WELO_SLASH_STORM, 60, 0, 0, -100, 100, 0, 34, 10, BLADE, ROLL_0, "storm, held at the end"},
        // The lunge: poised, the run-up, the thrust.
        {WELO_LUNGE, 4, 0, 0, -100, 100, 0, 51, 15, BLADE, ROLL_0, "lunge, poised"},
        {WELO_LUNGE, 5, 0, 0, -100, 100, 0, 38, 19, BLADE, ROLL_0, "lunge, run-up"},
        {WELO_LUNGE, 6, 0, 0, -100, 100, 0, 39, 19, BLADE, ROLL_0, "lunge, run-up"},
        {WELO_LUNGE, 10, 0, 0, -100, 100, 0, 52, 16, BLADE, ROLL_0, "lunge, thrust"},
        {WELO_LUNGE, 14, 0, 0, -100, 100, 0, 53, 18, BLADE, ROLL_0, "lunge, thrust"},
        {WELO_LUNGE, 30, 0, 0, -100, 100, 0, 54, 19, BLADE, ROLL_0, "lunge, last pose"},
        // The volleys: body only.
        {WELO_VOLLEY, 13, 0, 0, -100, 100, 0, 43, NONE, BODY, ROLL_0, "volley"},
        {WELO_HOMING_VOLLEY, 45, 0, 0, -100, 100, 0, 50, NONE, BODY, ROLL_0, "homing volley, last pose"},
        {WELO_HIGH_VOLLEY, 4, 0, 0, -100, 100, 0, 41, NONE, BODY, ROLL_0, "high volley"},
        // Orientation.
        {WELO_SHOT, 0, 0, 0, -100, 100, 2.0f, 20, 0, BODY, ROLL_LEFT,
         "aiming left: rolled back and mirrored"},
        {WELO_SLASH_1, 0, 0, 0, -100, 100, -2.0f, 25, 3, BLADE, {true, RadianToAngle(-2.0f - PI_F), true},
         "aiming down left: the blade turns with the body"},
        {PLAYER_KNOCKED_BACK, 0, 0, 0, 100, -100, -HALF_PI, 55, NONE, BODY,
         {true, RadianToAngle(-HALF_PI), false}, "aiming straight down: rolled, not mirrored"},
    };
    RunPoseTable(cases, WeloModelDraws, [](const auto& c) { return test::PoseAndPart(c.pose, c.action, c.blend); });
}

TEST_F(WeloDrawing, NothingIsDrawnFrom180FramesOfKnockOutOn) {
    players[0].state = PLAYER_KNOCKED_OUT;
    players[0].stateTimer = 180;
    EXPECT_TRUE(WeloModelDraws(0).empty());
    players[0].stateTimer = 500;
    EXPECT_TRUE(WeloModelDraws(0).empty());
}

TEST_F(WeloDrawing, ThePauseMenuShowsTheIdleCycleAndNothingIsDrawnRandomly) {
    players[0].counter = 10;
    Press(0, INPUT_RIGHT);
    battlePaused = 1;
    const uint32_t before = GetRandomState();
    const PlayerRecord record = players[0];
    const std::vector<CharacterModelDraw> draws = WeloModelDraws(0);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].index, 2);
    EXPECT_EQ(GetRandomState(), before);
    EXPECT_EQ(players[0].counter, record.counter);
    EXPECT_EQ(players[0].state, record.state);
}

// The blade is added onto the picture (mode 2) and the blending is normal
// (mode 1) again once welo is drawn, whatever it was before.
TEST_F(WeloDrawing, TheBladeIsAddedAndNormalBlendingComesBackAfterIt) {
    InitializeMathTables();
    test::RecordingGraphics graphics;
    ASSERT_EQ(InitializeDirectXGraphics(), 1);
    const auto destinationBlends = [&] {
        std::vector<uint32_t> values;
        for (const auto& call : graphics.device()->CallsNamed("SetRenderState"))
            if (call.args[0] == gpu::D3DRS_DESTBLEND) values.push_back(call.args[1]);
        graphics.device()->ClearCalls();
        return values;
    };
    SetBlendMode(1);
    destinationBlends();  // what the start-up sent
    SetBlendMode(2);
    SetBlendMode(1);
    const std::vector<uint32_t> presets = destinationBlends();
    ASSERT_EQ(presets.size(), 2u);
    const uint32_t added = presets[0], normal = presets[1];
    ASSERT_NE(added, normal);

    const struct {
        int32_t state;
        int32_t before;                 // the blend mode left by what was drawn before
        std::vector<uint32_t> sent;     // destination blends sent while welo is drawn
    } cases[] = {
        {WELO_SLASH_1, 1, {added, normal}},
        {WELO_SLASH_STORM, 2, {normal, added, normal}},
        {WELO_SHOT, 1, {}},
        {WELO_SHOT, 2, {normal}},
        {PLAYER_KNOCKED_OUT, 2, {normal}},  // nothing drawn, the blending still set
    };
    for (const auto& c : cases) {
        players[0].state = c.state;
        players[0].stateTimer = c.state == PLAYER_KNOCKED_OUT ? 200 : 0;
        SetBlendMode(c.before);
        destinationBlends();
        DrawWelo(0);
        EXPECT_EQ(destinationBlends(), c.sent) << "state " << c.state << " after mode " << c.before;
    }
}

}  // namespace
