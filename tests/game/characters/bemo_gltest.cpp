// Bemo on OpenGL, from the generated data set, through the real battle scene:
// its own figure on the stage, and in the lunge strike its arm over the body,
// checked by pixel probes. The pictures are saved under build/bemo_screens/.
#include <gtest/gtest.h>

#include "engine/core/math.h"

#include <cmath>
#include <cstdlib>
#include <vector>

#include "game/battle/battle_assets.h"
#include "game/battle/battle_drawing.h"
#include "game/battle/battle_scene.h"
#include "game/battle/battle_state.h"
#include "game/battle/player_record.h"
#include "game/battle/screen_mapping.h"
#include "game/characters/bemo.h"
#include "game/flow/game_start.h"
#include "game/flow/replay_file.h"
#include "game/flow/save_files.h"
#include "game/flow/transitions.h"
#include "tests/game/battle/battle_gl_fixture.h"
#include "tests/support/back_buffer_pixels.h"

namespace {

struct Rgb {
    int r, g, b;
};

// Bemo's first costume is orange: strong red, some green, little blue.
bool Orange(const Rgb& p) { return p.r >= 170 && p.r >= p.b + 90 && p.g >= p.b + 30; }

class BemoGLTest : public test::BattleSceneGLFixture {
protected:
    BemoGLTest() : BattleSceneGLFixture("bemo_screens") {}

    // Kirune (keyboard, nobody at it) against the computer's bemo, through the
    // battle scene until the countdown is over.
    static void RunBattle(int32_t frames) {
        players[0].characterId = 1;
        players[1].characterId = 2;
        players[0].colour = players[1].colour = 0;
        stageNumber = 3;
        gameMode = MODE_1P_VS_CPU;
        difficulty = DIFFICULTY_NORMAL;
        replayPlayback = 0;
        sceneNumber = SCENE_BATTLE;
        SeedRandom(1);  // the battle's seed, and so the computer's play, the same every run
        sceneInitPending = 1;
        do RunBattleScene();
        while (battleFrame < frames && sceneNumber == SCENE_BATTLE);
    }

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
        EXPECT_TRUE(test::WritePixelsPng((screens_ / picture).string(), pixels, 640, 480));
        return pixels;
    }
};

Rgb At(const std::vector<uint32_t>& pixels, float x, float y) {
    const ScreenPoint s = WorldToScreen(x, y);
    const uint32_t p = pixels[static_cast<size_t>(s.y) * 640 + s.x];
    return {static_cast<int>(p >> 16 & 0xff), static_cast<int>(p >> 8 & 0xff), static_cast<int>(p & 0xff)};
}

TEST_F(BemoGLTest, ShowsItsOwnFigureAndTheLungeArm) {
    RunBattle(200);
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
