#include "game/characters/bemo_drawing.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/core/math.h"
#include "game/arena/battle_state.h"
#include "game/characters/bemo.h"
#include "game/flow/numeric_helpers.h"
#include "tests/support/pose_table.h"

namespace {

class BemoDrawing : public test::CharacterDrawingFixture<2> {
protected:
    void SetUp() override {
        CharacterDrawingFixture::SetUp();
        players[1].characterId = 1;
    }
};
using namespace test;  // the shared turns of a row

// Tilted by the aim: rolled by it, or by aim - pi and mirrored past pi/2.
Turn Tilt(float aim) {
    if (std::fabs(aim) > HALF_PI) return {true, RadianToAngle(aim - PI_F), true};
    return {true, RadianToAngle(aim), false};
}

TEST_F(BemoDrawing, PoseAndTurnOfEachState) {
    const test::PoseRow cases[] = {
        // Standing: c = counter / 5; idle 0..7, toward the facing side 11 12 13 12, else 8 9 10 9.
        {PLAYER_FREE, 0, 0, 0, -100, 100, 0, 0, UNTURNED, "idle"},
        {PLAYER_FREE, 0, 39, 0, -100, 100, 2.0f, 7, UNTURNED, "idle, last; the aim plays no part"},
        {PLAYER_FREE, 0, 40, 0, -100, 100, 0, 0, UNTURNED, "idle cycle wraps"},
        {PLAYER_FREE, 0, 10, INPUT_RIGHT, -100, 100, 0, 13, UNTURNED, "toward the facing side"},
        {PLAYER_FREE, 0, 15, INPUT_RIGHT, -100, 100, 0, 12, UNTURNED, "toward, fourth step shows 12"},
        {PLAYER_FREE, 0, 5, INPUT_LEFT | INPUT_UP, 100, -100, 0, 12, MIRRORED, "facing left, left held"},
        {PLAYER_FREE, 0, 10, INPUT_LEFT, -100, 100, 0, 10, UNTURNED, "away"},
        {PLAYER_FREE, 0, 15, INPUT_UP, -100, 100, 0, 9, UNTURNED, "up: other arrow, fourth step shows 9"},
        {PLAYER_FREE, 0, 0, INPUT_RIGHT, 100, -100, 0, 8, MIRRORED, "facing left, right is away"},
        {PLAYER_FREE, 0, 0, 0, 5, 5, 0, 0, MIRRORED, "equal x faces left"},
        {13, 0, 30, 0, -100, 100, 0, 6, UNTURNED, "a state without a pose of its own stands"},
        // Dash: d = counter / 2; toward 15 16 17 16, away 18 19 20 19.
        {PLAYER_DASH, 0, 2, 0, -100, 100, 0, 16, ROLL_0, "dash toward"},
        {PLAYER_DASH, 0, 6, 0, -100, 100, HALF_PI, 16, Tilt(HALF_PI), "straight up counts as toward, facing right"},
        {PLAYER_DASH, 0, 4, 0, -100, 100, PI_F, 20, Tilt(PI_F), "dash away, rolled back and mirrored"},
        {PLAYER_DASH, 0, 6, 0, 100, -100, 3.0f, 16, Tilt(3.0f), "facing left, dashing left is toward"},
        {PLAYER_DASH, 0, 0, 0, 100, -100, -HALF_PI, 15, Tilt(-HALF_PI), "straight down counts as toward, facing left"},
        {PLAYER_DASH, 0, 6, 0, 100, -100, 1.0f, 19, Tilt(1.0f), "facing left, dashing right is away"},
        {PLAYER_KNOCKED_BACK, 0, 0, 0, -100, 100, 2.5f, 57, Tilt(2.5f), "hit"},
        {PLAYER_BLOWN_AWAY, 30, 0, 0, -100, 100, -0.5f, 57, Tilt(-0.5f), "blown away"},
        {PLAYER_BURST, 12, 0, 0, -100, 100, 0, 27, ROLL_0, "burst"},
        {PLAYER_SHIELD, 30, 0, 0, -100, 100, 0, 30, ROLL_0, "shield holds 30"},
        {PLAYER_KNOCKED_OUT, 1, 0, 0, -100, 100, 0, 57, ROLL_0, "knocked out: 57 on t / 2 even"},
        {PLAYER_KNOCKED_OUT, 3, 0, 0, -100, 100, 0, 58, ROLL_0, "58 on t / 2 odd"},
        {PLAYER_KNOCKED_OUT, 179, 0, 0, -100, 100, 0, 58, ROLL_0, "last frame shown"},
        // The moves: mirrored toward a left aim, or tilted along it.
        {BEMO_RING_SHOT, 8, 0, 0, -100, 100, 0, 23, UNTURNED, "ring shot"},
        {BEMO_RING_SHOT, 40, 0, 0, -100, 100, 2.0f, 30, MIRRORED, "ring shot, last; aim left mirrors"},
        {BEMO_RING_SHOT, 3, 0, 0, -100, 100, HALF_PI, 22, UNTURNED, "aim straight up does not mirror"},
        {BEMO_WALL, 11, 0, 0, -100, 100, 0, 23, UNTURNED, "wall"},
        {BEMO_WALL, 39, 0, 0, -100, 100, -2.0f, 30, MIRRORED, "wall, last"},
        {BEMO_FAN, 9, 0, 0, -100, 100, 0, 34, UNTURNED, "fan"},
        {BEMO_WHIP, 40, 0, 0, -100, 100, 0, 39, UNTURNED, "whip, last"},
        {BEMO_SCATTER, 7, 0, 0, -100, 100, 2.0f, 49, Tilt(2.0f), "scatter is tilted"},
        {BEMO_SCATTER, 30, 0, 0, -100, 100, 0.3f, 51, Tilt(0.3f), "scatter, last"},
        {BEMO_VORTEX, 15, 0, 0, -100, 100, 0, 43, UNTURNED, "vortex turning"},
        {BEMO_VORTEX, 79, 0, 0, -100, 100, 0, 43, UNTURNED, "vortex turning, last"},
        {BEMO_VORTEX, 80, 0, 0, -100, 100, 0, 44, UNTURNED, "vortex thrown"},
        {BEMO_VORTEX, 100, 0, 0, -100, 100, 3.0f, 46, MIRRORED, "vortex, last"},
        {BEMO_MAELSTROM, 59, 0, 0, -100, 100, 0, 43, UNTURNED, "maelstrom turning"},
        {BEMO_MAELSTROM, 65, 0, 0, -100, 100, 0, 45, UNTURNED, "maelstrom blast"},
        {BEMO_SIDE_SHOT, 4, 0, 0, -100, 100, 0, 41, UNTURNED, "side shot"},
        {BEMO_STAR, 40, 0, 0, -100, 100, -3.0f, 43, MIRRORED, "star, last"},
        {BEMO_STORM, 6, 0, 0, -100, 100, 0, 26, UNTURNED, "storm"},
        {BEMO_STORM, 50, 0, 0, -100, 100, 0, 30, UNTURNED, "storm, last"},
    };
    RunPoseTable(cases, BemoModelDraws);
}

// The lunge strike: the body, then the glow (parts 2 and 3, added) on poses
// 54 and 55, then the arm (part 0 up to pose 53, part 1 from 54), each part
// turned a tenth of a radian further than the body.
TEST_F(BemoDrawing, LungeStrikePartsAndBlendModes) {
    struct Part {
        int32_t index, blend;
    };
    const struct {
        int32_t t;
        int32_t pose;
        std::vector<Part> parts;
    } cases[] = {
        {0, 52, {{0, 1}}},         {7, 53, {{0, 1}}},         {8, 54, {{2, 2}, {1, 1}}},
        {12, 55, {{3, 2}, {1, 1}}}, {16, 56, {{1, 1}}},        {25, 56, {{1, 1}}},
    };
    const struct {
        float aim;
        Turn body, part;
    } aims[] = {
        {0.5f, Tilt(0.5f), {true, RadianToAngle(0.6f), false}},
        {2.5f, Tilt(2.5f), {true, RadianToAngle(2.5f - PI_F - 0.1f), true}},
    };
    for (const auto& a : aims)
        for (const auto& c : cases) {
            SetUp();
            Place(BEMO_LUNGE_STRIKE, c.t, 0, 30.0f, 100.0f, a.aim, 0);
            const std::vector<CharacterModelDraw> draws = BemoModelDraws(0);
            ASSERT_EQ(draws.size(), c.parts.size() + 1) << c.t;
            EXPECT_EQ(draws[0].kind, CharacterModelKind::Frame);
            EXPECT_EQ(draws[0].index, c.pose) << c.t;
            EXPECT_EQ(draws[0].turn.roll, a.body.roll);
            EXPECT_EQ(draws[0].turn.mirrored, a.body.mirrored);
            for (size_t i = 0; i < c.parts.size(); ++i) {
                const CharacterModelDraw& d = draws[i + 1];
                EXPECT_EQ(d.kind, CharacterModelKind::Action) << c.t;
                EXPECT_EQ(d.index, c.parts[i].index) << c.t;
                EXPECT_EQ(d.blendMode, c.parts[i].blend) << c.t;
                EXPECT_EQ(d.x, 30.0f);
                EXPECT_EQ(d.y, 7.0f);
                EXPECT_TRUE(d.turn.rolled);
                EXPECT_EQ(d.turn.roll, a.part.roll) << a.aim;
                EXPECT_EQ(d.turn.mirrored, a.part.mirrored) << a.aim;
            }
            // The blend mode is left at 1 for what is drawn next.
            EXPECT_EQ(draws.back().blendMode, 1);
        }
}

TEST_F(BemoDrawing, KnockOutVanishesAt180AndThePauseMenuShowsTheIdleCycle) {
    Place(PLAYER_KNOCKED_OUT, 180, 0, -100.0f, 100.0f, 0.0f, 0);
    EXPECT_TRUE(BemoModelDraws(0).empty());

    Place(PLAYER_FREE, 0, 25, -100.0f, 100.0f, 0.0f, INPUT_RIGHT);
    battlePaused = 1;
    const uint32_t before = GetRandomState();
    const std::vector<CharacterModelDraw> draws = BemoModelDraws(0);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].index, 5) << "the idle cycle although an arrow is held";
    EXPECT_EQ(GetRandomState(), before);
}

}  // namespace
