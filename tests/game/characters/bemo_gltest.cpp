// Bemo on OpenGL, from the generated data set, through the real battle scene:
// its own figure on the stage, and in the lunge strike its arm over the body,
// checked by pixel probes. The pictures are saved under build/bemo_screens/.
#include <gtest/gtest.h>

#include <vector>

#include "game/characters/bemo.h"
#include "tests/game/battle/battle_gl_fixture.h"

namespace {

using test::Rgb;

// Bemo's first costume is orange: strong red, some green, little blue.
bool Orange(const Rgb& p) { return p.r >= 170 && p.r >= p.b + 90 && p.g >= p.b + 30; }

class BemoGLTest : public test::BattleSceneGLFixture {
protected:
    BemoGLTest() : BattleSceneGLFixture("bemo_screens") {}

    // Bemo, still, in a state of the battle, drawn as the battle draws it.
    std::vector<uint32_t> DrawBemoIn(int32_t state, int32_t stateTimer, const char* picture) {
        PlayerRecord& bemo = players[1];
        bemo.x = 120.0f;
        bemo.y = -40.0f;
        bemo.aimAngle = 0.0f;
        bemo.state = state;
        bemo.stateTimer = stateTimer;
        bemo.counter = 0;
        bemo.invulnerableTimer = 0;
        players[0].x = -150.0f;
        players[0].y = 60.0f;
        // Pictures of the same state until the camera, which follows the
        // fighters a step per picture, has settled on their new places, so
        // that the picture read is the one the probes' mapping belongs to.
        int still = 0;
        for (int i = 0; i < 300 && still < 3; ++i) {
            const float before[3] = {cameraX, cameraY, viewWidth};
            DrawBattle();
            still = before[0] == cameraX && before[1] == cameraY && before[2] == viewWidth ? still + 1 : 0;
        }
        EXPECT_EQ(still, 3) << "the camera never settled";
        std::vector<uint32_t> pixels = test::ReadEngineBackBuffer();
        Save(picture, pixels);
        return pixels;
    }
};

Rgb At(const std::vector<uint32_t>& pixels, float x, float y) { return test::PixelAt(pixels, WorldToScreen(x, y)); }

TEST_F(BemoGLTest, ShowsItsOwnFigureAndTheLungeArm) {
    // Kirune (keyboard, nobody at it) against the computer's bemo, through the
    // battle scene until the countdown is over.
    StartBattle(1, 2, 3, MODE_1P_VS_CPU);
    RunUntil(200);
    ASSERT_EQ(sceneNumber, SCENE_BATTLE);

    // Standing: the head, 5 units above the figure's centre, is orange; 13
    // units to the side of it lies outside the 40-unit pose.
    const std::vector<uint32_t> standing = DrawBemoIn(PLAYER_FREE, 0, "standing.png");
    const Rgb body = At(standing, 120.0f, -35.0f);
    EXPECT_TRUE(Orange(body)) << body.r << "," << body.g << "," << body.b;
    const Rgb beside = At(standing, 133.0f, -30.0f);
    EXPECT_FALSE(Orange(beside)) << beside.r << "," << beside.g << "," << beside.b;

    // The lunge strike's last pose draws the 80-unit arm (part 1) over the
    // body: its head reaches the same spot.
    const std::vector<uint32_t> lunge = DrawBemoIn(BEMO_LUNGE_STRIKE, 16, "lunge.png");
    const Rgb arm = At(lunge, 133.0f, -30.0f);
    EXPECT_TRUE(Orange(arm)) << arm.r << "," << arm.g << "," << arm.b;
}

}  // namespace
