// Oza on OpenGL from the generated data set, through the real battle scene:
// standing, its body in its costume colour; in the spray, its gun parts (on
// planes twice the body's size) reach below the body, where a standing
// figure leaves the stage showing. Pictures go to build/oza_screens/.
#include <gtest/gtest.h>

#include "engine/core/math.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "game/battle/battle_assets.h"
#include "game/battle/battle_drawing.h"
#include "game/battle/battle_scene.h"
#include "game/battle/battle_state.h"
#include "game/battle/player_record.h"
#include "game/battle/screen_mapping.h"
#include "game/characters/oza.h"
#include "game/flow/game_start.h"
#include "game/flow/input_words.h"
#include "game/flow/replay_file.h"
#include "game/flow/save_files.h"
#include "game/flow/transitions.h"
#include "tests/game/battle/battle_gl_fixture.h"
#include "tests/support/back_buffer_pixels.h"

namespace {

struct Rgb {
    int r, g, b;
};

Rgb At(const std::vector<uint32_t>& pixels, ScreenPoint p) {
    const uint32_t v = pixels[static_cast<size_t>(p.y) * 640 + p.x];
    return {static_cast<int>(v >> 16 & 0xff), static_cast<int>(v >> 8 & 0xff), static_cast<int>(v & 0xff)};
}

// Oza's costume (colour 0) is yellow: red and green alike and high, blue low.
bool Yellow(const Rgb& p) { return p.r >= 110 && p.g >= 100 && std::abs(p.r - p.g) <= 40 && p.b + 60 <= p.g; }

class OzaGLTest : public test::BattleSceneGLFixture {
protected:
    OzaGLTest() : BattleSceneGLFixture("oza_screens") {}

    // Oza (side 0, nobody at the keys) against the computer's kirune on
    // stage 1, through the battle scene for `frames` frames.
    static void RunBattle(int32_t frames) {
        players[0].characterId = 3;
        players[1].characterId = 1;
        players[0].colour = players[1].colour = 0;
        stageNumber = 1;
        gameMode = MODE_1P_VS_CPU;
        difficulty = DIFFICULTY_NORMAL;
        replayPlayback = 0;
        sceneNumber = SCENE_BATTLE;
        SeedRandom(1);  // the battle's seed, and so the computer's play, the same every run
        sceneInitPending = 1;
        do RunBattleScene();
        while (battleFrame < frames && sceneNumber == SCENE_BATTLE);
    }

    std::vector<uint32_t> Draw(const std::string& name) {
        DrawBattle();
        std::vector<uint32_t> pixels = test::ReadEngineBackBuffer();
        EXPECT_TRUE(test::WritePixelsPng((screens_ / (name + ".png")).string(), pixels, 640, 480));
        return pixels;
    }
};

TEST_F(OzaGLTest, ShowsOzasOwnFigureWithItsGunParts) {
    RunBattle(300);  // past the countdown's banner
    ASSERT_EQ(battleFrame, 300);
    PlayerRecord& oza = players[0];
    ASSERT_EQ(oza.characterId, 3);

    // Standing: the head, 5 above the centre, in the costume's colour; 25
    // below the centre, past the body's plane of 40, the stage shows.
    oza.state = PLAYER_FREE;
    std::vector<uint32_t> pixels = Draw("oza_standing");
    const ScreenPoint head = WorldToScreen(oza.x, oza.y + 5.0f);
    const ScreenPoint below = WorldToScreen(oza.x, oza.y - 25.0f);
    EXPECT_TRUE(Yellow(At(pixels, head))) << head.x << "," << head.y;
    const Rgb stage = At(pixels, below);
    EXPECT_FALSE(Yellow(stage)) << stage.r << " " << stage.g << " " << stage.b;

    // In the spray, the gun parts 4 and 5 (which the stand-in fighter never
    // draws) frame the body on planes of 80: their yellow bodies reach 30
    // below its centre.
    oza.state = OZA_SPRAY;
    oza.stateTimer = 10;
    oza.aimAngle = 0.0f;
    pixels = Draw("oza_spray");
    const Rgb gun = At(pixels, below);
    EXPECT_TRUE(Yellow(gun)) << below.x << "," << below.y << ": " << gun.r << " " << gun.g << " " << gun.b;
}

}  // namespace
