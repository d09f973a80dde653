// Welo on OpenGL: a battle against kirune through the real battle scene on a
// stage from the generated data set, then welo's own figure drawn in a
// standing pose and with her gun raised, checked by pixel probes. The
// pictures are saved as build/welo_screens/*.png.
#include <gtest/gtest.h>

#include "engine/core/math.h"

#include <cstdint>
#include <vector>

#include "game/battle/battle_assets.h"
#include "game/battle/battle_drawing.h"
#include "game/battle/battle_scene.h"
#include "game/battle/battle_state.h"
#include "game/battle/player_record.h"
#include "game/battle/screen_mapping.h"
#include "game/characters/welo.h"
#include "game/flow/game_start.h"
#include "game/flow/input_words.h"
#include "game/flow/replay_file.h"
#include "game/flow/save_files.h"
#include "game/flow/transitions.h"
#include "platform/keyboard.h"
#include "tests/game/battle/battle_gl_fixture.h"
#include "tests/support/back_buffer_pixels.h"

namespace {

struct Rgb {
    int r, g, b;
};

Rgb At(const std::vector<uint32_t>& pixels, ScreenPoint p) {
    const uint32_t v = pixels[static_cast<size_t>(p.y) * 640 + static_cast<size_t>(p.x)];
    return {static_cast<int>(v >> 16 & 0xff), static_cast<int>(v >> 8 & 0xff), static_cast<int>(v & 0xff)};
}

// Welo's first costume is a strong pink (red and blue well above green).
bool Pink(const Rgb& p) { return p.r >= 170 && p.b >= 110 && p.r >= p.g + 80 && p.b >= p.g + 30; }

class WeloGLTest : public test::BattleSceneGLFixture {
protected:
    WeloGLTest() : BattleSceneGLFixture("welo_screens") {}

    std::vector<uint32_t> Draw(const char* name) {
        DrawBattle();
        std::vector<uint32_t> pixels = test::ReadEngineBackBuffer();
        EXPECT_TRUE(test::WritePixelsPng((screens_ / name).string(), pixels, 640, 480));
        return pixels;
    }
};

TEST_F(WeloGLTest, WeloIsDrawnInHerOwnPosesOnAStage) {
    players[0].characterId = 1;
    players[1].characterId = 8;
    players[0].colour = players[1].colour = 0;
    stageNumber = 3;
    gameMode = MODE_1P_VS_CPU;
    difficulty = DIFFICULTY_NORMAL;
    replayPlayback = 0;
    sceneNumber = SCENE_BATTLE;
    SeedRandom(1);  // the battle's seed, and so the computer's play, the same every run
    sceneInitPending = 1;
    do RunBattleScene();
    while (battleFrame < 200 && sceneNumber == SCENE_BATTLE);
    ASSERT_EQ(battleFrame, 200);

    // Standing, facing the opponent: the head of the pose Model (40 units
    // high) is pink, and nothing of welo reaches 22 units below her centre.
    PlayerRecord& welo = players[1];
    welo.state = PLAYER_FREE;
    welo.aimAngle = 0.0f;
    const std::vector<uint32_t> standing = Draw("standing.png");
    const ScreenPoint head = WorldToScreen(welo.x, welo.y + 5.0f);
    const ScreenPoint below = WorldToScreen(welo.x, welo.y - 22.0f);
    EXPECT_TRUE(Pink(At(standing, head))) << head.x << "," << head.y;
    EXPECT_FALSE(Pink(At(standing, below))) << below.x << "," << below.y;

    // Raising the gun in the ray barrage adds the gun Model, twice the size
    // of the body: its pink reaches down there.
    welo.state = WELO_RAY_BARRAGE;
    welo.stateTimer = 30;
    const std::vector<uint32_t> gun = Draw("gun.png");
    EXPECT_TRUE(Pink(At(gun, head))) << head.x << "," << head.y;
    EXPECT_TRUE(Pink(At(gun, below))) << below.x << "," << below.y;
}

}  // namespace
