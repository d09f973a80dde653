// Oza on OpenGL from the generated data set, through the real battle scene:
// standing, its body in its costume colour; in the spray, its gun parts (on
// planes twice the body's size) reach below the body, where a standing
// figure leaves the stage showing. Pictures go to build/oza_screens/.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "game/characters/oza.h"
#include "tests/game/battle/battle_gl_fixture.h"

namespace {

using test::PixelAt;
using test::Rgb;

// Oza's costume (colour 0) is yellow: red and green alike and high, blue low.
bool Yellow(const Rgb& p) { return p.r >= 110 && p.g >= 100 && std::abs(p.r - p.g) <= 40 && p.b + 60 <= p.g; }

class OzaGLTest : public test::BattleSceneGLFixture {
protected:
    OzaGLTest() : BattleSceneGLFixture("oza_screens") {}
};

TEST_F(OzaGLTest, ShowsOzasOwnFigureWithItsGunParts) {
    // Oza (side 0, nobody at the keys) against the computer's kirune on
    // stage 1, past the countdown's banner.
    StartBattle(3, 1, 1, MODE_1P_VS_CPU);
    RunUntil(300);
    ASSERT_EQ(battleFrame, 300);
    PlayerRecord& oza = players[0];
    ASSERT_EQ(oza.characterId, 3);

    // Standing: the head, 5 above the centre, in the costume's colour; 25
    // below the centre, past the body's plane of 40, the stage shows.
    oza.state = PLAYER_FREE;
    std::vector<uint32_t> pixels = DrawAndSave("oza_standing.png");
    const ScreenPoint head = WorldToScreen(oza.x, oza.y + 5.0f);
    const ScreenPoint below = WorldToScreen(oza.x, oza.y - 25.0f);
    EXPECT_TRUE(Yellow(PixelAt(pixels, head))) << head.x << "," << head.y;
    const Rgb stage = PixelAt(pixels, below);
    EXPECT_FALSE(Yellow(stage)) << stage.r << " " << stage.g << " " << stage.b;

    // In the spray, the gun parts 4 and 5 (which the stand-in fighter never
    // draws) frame the body on planes of 80: their yellow bodies reach 30
    // below its centre.
    oza.state = OZA_SPRAY;
    oza.stateTimer = 10;
    oza.aimAngle = 0.0f;
    pixels = DrawAndSave("oza_spray.png");
    const Rgb gun = PixelAt(pixels, below);
    EXPECT_TRUE(Yellow(gun)) << below.x << "," << below.y << ": " << gun.r << " " << gun.g << " " << gun.b;
}

}  // namespace
