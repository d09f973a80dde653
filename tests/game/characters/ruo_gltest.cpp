// Ruo on OpenGL: a battle from the generated data set through the real battle
// scene, then ruo knocked back and drawn turned to two aims, probed for its
// figure. The pictures are saved in build/ruo_screens.
#include <gtest/gtest.h>

#include "engine/core/math.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "game/battle/battle_assets.h"
#include "game/battle/battle_drawing.h"
#include "game/battle/battle_scene.h"
#include "game/battle/battle_state.h"
#include "game/battle/player_record.h"
#include "game/battle/screen_mapping.h"
#include "game/battle/numeric_helpers.h"
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
            const uint32_t p = pixels[static_cast<size_t>(y) * 640 + x];
            const Rgb c{static_cast<int>(p >> 16 & 0xff), static_cast<int>(p >> 8 & 0xff), static_cast<int>(p & 0xff)};
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
    players[0].characterId = 5;
    players[1].characterId = 1;
    players[0].colour = players[1].colour = 0;
    stageNumber = 6;  // a dark stage, for the cyan figure to stand out
    gameMode = MODE_1P_VS_CPU;
    difficulty = DIFFICULTY_NORMAL;
    replayPlayback = 0;
    sceneNumber = SCENE_BATTLE;
    SeedRandom(1);  // the battle's seed, and so the computer's play, the same every run
    sceneInitPending = 1;
    do RunBattleScene();
    while (battleFrame < 200 && sceneNumber == SCENE_BATTLE);
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
        // The second picture is the one read back whole.
        DrawBattle();
        DrawBattle();
        const std::vector<uint32_t> pixels = test::ReadEngineBackBuffer();
        EXPECT_TRUE(test::WritePixelsPng((screens_ / c.name).string(), pixels, 640, 480));
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
