// Welo on OpenGL: a battle against kirune through the real battle scene on a
// stage from the generated data set, then welo's own figure drawn in a
// standing pose and with her gun raised, checked by pixel probes. The
// pictures are saved as build/welo_screens/*.png.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "game/characters/welo.h"
#include "tests/game/battle/battle_gl_fixture.h"

namespace {

using test::Rgb;

Rgb At(const std::vector<uint32_t>& pixels, ScreenPoint p) { return test::PixelAt(pixels, p); }

// Welo's first costume is a strong pink (red and blue well above green).
bool Pink(const Rgb& p) { return p.r >= 170 && p.b >= 110 && p.r >= p.g + 80 && p.b >= p.g + 30; }

class WeloGLTest : public test::BattleSceneGLFixture {
protected:
    WeloGLTest() : BattleSceneGLFixture("welo_screens") {}
};

TEST_F(WeloGLTest, WeloIsDrawnInHerOwnPosesOnAStage) {
    StartBattle(1, 8, 3, MODE_1P_VS_CPU);
    RunUntil(200);
    ASSERT_EQ(battleFrame, 200);

    // Standing, facing the opponent: the head of the pose Model (40 units
    // high) is pink, and nothing of welo reaches 22 units below her centre.
    PlayerRecord& welo = players[1];
    welo.state = PLAYER_FREE;
    welo.aimAngle = 0.0f;
    const std::vector<uint32_t> standing = DrawAndSave("standing.png");
    const ScreenPoint head = WorldToScreen(welo.x, welo.y + 5.0f);
    const ScreenPoint below = WorldToScreen(welo.x, welo.y - 22.0f);
    EXPECT_TRUE(Pink(At(standing, head))) << head.x << "," << head.y;
    EXPECT_FALSE(Pink(At(standing, below))) << below.x << "," << below.y;

    // Raising the gun in the ray barrage adds the gun Model, twice the size
    // of the body: its pink reaches down there.
    welo.state = WELO_RAY_BARRAGE;
    welo.stateTimer = 30;
    const std::vector<uint32_t> gun = DrawAndSave("gun.png");
    EXPECT_TRUE(Pink(At(gun, head))) << head.x << "," << head.y;
    EXPECT_TRUE(Pink(At(gun, below))) << below.x << "," << below.y;
}

}  // namespace
