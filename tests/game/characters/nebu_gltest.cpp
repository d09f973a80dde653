// Nebu on a stage through the real battle scene on OpenGL, from the generated
// data set: its own pose of a move is on the screen, told apart from the
// standing poses by the white mark that each generated pose carries at its
// own angle. The picture is saved as build/nebu_screens/nebu.png.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "game/characters/nebu.h"
#include "tests/game/battle/battle_gl_fixture.h"

namespace {

using test::Rgb;

class NebuGLTest : public test::BattleSceneGLFixture {
protected:
    NebuGLTest() : BattleSceneGLFixture("nebu_screens") {}
};

// The brightest pixel within 2 of a point.
Rgb Brightest(const std::vector<uint32_t>& pixels, ScreenPoint at) {
    Rgb best{0, 0, 0};
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
            const int x = std::clamp(at.x + dx, 0, 639), y = std::clamp(at.y + dy, 0, 479);
            const Rgb p = test::RgbOf(pixels[static_cast<size_t>(y) * 640 + x]);
            if (p.r + p.g + p.b > best.r + best.g + best.b) best = p;
        }
    return best;
}

bool White(const Rgb& p) { return std::min({p.r, p.g, p.b}) >= 200; }

TEST_F(NebuGLTest, ShowsNebusOwnPoseOfAMove) {
    // Nebu (side 0) against kirune, nobody at the controls, past the countdown.
    StartBattle(7, 1, 1, MODE_1P_VS_2P);
    RunUntil(200);
    ASSERT_EQ(battleFrame, 200);

    // The chain at frame 24 shows pose 37 of 74, whose mark lies half a turn
    // round: on the figure's left (the standing poses 0 to 11 carry theirs on
    // the right). Nebu faces right, aiming along 0.
    PlayerRecord& nebu = players[0];
    ASSERT_LT(nebu.x, players[1].x);
    // Held at that frame for 30 frames; the last one's picture is read.
    for (int frame = 0; frame < 30; ++frame) {
        nebu.state = NEBU_CHAIN;
        nebu.stateTimer = 24;
        nebu.aimAngle = 0.0f;
        RunBattleScene();
    }
    ASSERT_EQ(nebu.state, NEBU_CHAIN);
    const std::vector<uint32_t> pixels = test::ReadEngineBackBuffer();
    Save("nebu.png", pixels);

    // The figure is a 40-unit plane; the mark sits 0.35 of it from the centre.
    const float x = nebu.x, y = nebu.y;
    const Rgb leftMark = Brightest(pixels, WorldToScreen(x - 14.0f, y));
    const Rgb rightMark = Brightest(pixels, WorldToScreen(x + 14.0f, y));
    EXPECT_TRUE(White(leftMark)) << leftMark.r << "," << leftMark.g << "," << leftMark.b;
    EXPECT_FALSE(White(rightMark)) << rightMark.r << "," << rightMark.g << "," << rightMark.b;
    // Its purple body below the head.
    const ScreenPoint bodyAt = WorldToScreen(x, y - 6.0f);
    const Rgb body = test::RgbOf(pixels[static_cast<size_t>(bodyAt.y) * 640 + bodyAt.x]);
    EXPECT_GE(body.b, 170) << body.r << "," << body.g << "," << body.b;
    EXPECT_GE(body.b, body.g + 80) << body.r << "," << body.g << "," << body.b;
}

}  // namespace
