// Ruo on OpenGL: a battle from the generated data set through the real battle
// scene, then ruo knocked back and drawn turned to two aims, probed for its
// figure. The pictures are saved in build/ruo_screens.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "game/flow/numeric_helpers.h"
#include "tests/game/battle/battle_gl_fixture.h"

namespace {

using test::Rgb;

class RuoGLTest : public test::BattleSceneGLFixture {
protected:
    RuoGLTest() : BattleSceneGLFixture("ruo_screens") {}
};

// The bounds of ruo's cyan figure below the HUD, on the dark stage.
struct Bounds {
    int x0 = 640, x1 = -1, y0 = 480, y1 = -1;
    int width() const { return x1 - x0 + 1; }
    int height() const { return y1 - y0 + 1; }
};

Bounds CyanFigure(const std::vector<uint32_t>& pixels) {
    Bounds b;
    for (int y = 100; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            const Rgb c = test::RgbOf(pixels[static_cast<size_t>(y) * 640 + x]);
            if (c.b < 170 || c.b < c.r + 100 || c.g < c.r + 100) continue;
            b.x0 = std::min(b.x0, x), b.x1 = std::max(b.x1, x), b.y0 = std::min(b.y0, y), b.y1 = std::max(b.y1, y);
        }
    }
    return b;
}

// Knocked back, ruo's figure turns with its aim: upright when it aims along
// +x, lying on its side when it aims straight up. The stand-in fighter never
// turns its figure.
TEST_F(RuoGLTest, RuoIsDrawnTurnedToItsAim) {
    StartBattle(5, 1, 6, MODE_1P_VS_CPU);  // a dark stage, for the cyan figure to stand out
    RunUntil(200);
    ASSERT_EQ(battleFrame, 200);

    PlayerRecord& ruo = players[0];
    ruo.state = PLAYER_KNOCKED_BACK;
    ruo.stateTimer = 3;
    ruo.x = -60.0f;
    ruo.y = 0.0f;
    ruo.invulnerableTimer = 0;
    players[1].x = 150.0f;
    players[1].y = 0.0f;
    const struct {
        float aim;
        const char* name;
        bool lying;
    } cases[] = {{0.0f, "ruo_upright.png", false}, {PI_F / 2.0f, "ruo_lying.png", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ruo.aimAngle = c.aim;
        const std::vector<uint32_t> pixels = DrawAndSave(c.name);
        const Bounds b = CyanFigure(pixels);
        ASSERT_GE(b.x1, 0) << "no cyan figure";
        const int length = std::max(b.width(), b.height());
        EXPECT_GE(length, 14);
        EXPECT_LE(length, 120);
        if (c.lying) {
            EXPECT_GT(b.width(), b.height() * 3 / 2);
        } else {
            EXPECT_GT(b.height(), b.width() * 3 / 2);
        }
    }
}

}  // namespace
