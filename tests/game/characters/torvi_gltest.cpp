// Torvi on OpenGL, from the generated data set, through the real battle
// scene: its own pose pictures (not the stand-in's idle cycle) on a stage,
// checked by pixel probes. The pictures are saved in build/torvi_screens/.
#include <gtest/gtest.h>

#include "engine/core/math.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "game/battle/battle_drawing.h"
#include "game/battle/battle_scene.h"
#include "game/battle/battle_state.h"
#include "game/battle/player_record.h"
#include "game/battle/screen_mapping.h"
#include "game/characters/torvi.h"
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

Rgb PixelAt(const std::vector<uint32_t>& pixels, ScreenPoint p) {
    const uint32_t v = pixels[static_cast<size_t>(std::clamp(p.y, 0, 479)) * 640 + std::clamp(p.x, 0, 639)];
    return {static_cast<int>(v >> 16 & 0xff), static_cast<int>(v >> 8 & 0xff), static_cast<int>(v & 0xff)};
}

// The whitest pixel (by its weakest channel) within 2 pixels of a point.
int Whiteness(const std::vector<uint32_t>& pixels, ScreenPoint p) {
    int best = 0;
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
            const Rgb c = PixelAt(pixels, {p.x + dx, p.y + dy});
            best = std::max(best, std::min({c.r, c.g, c.b}));
        }
    return best;
}

// Every generated pose picture has a white dot 0.35 of its width from the
// centre, at 2 pi pose / 45 (counter-clockwise in the picture, whose y runs
// down): where the dot of `pose` falls for a figure drawn unturned at (x, y)
// on a plane 40 units wide.
ScreenPoint PoseDot(float x, float y, int32_t pose) {
    const float a = 2.0f * 3.1415927f * static_cast<float>(pose) / 45.0f;
    return WorldToScreen(x + 14.0f * std::cos(a), y - 14.0f * std::sin(a));
}

std::set<int>& HeldKeys() {
    static std::set<int> keys;
    return keys;
}

class TorviGLTest : public test::BattleGLFixture {
protected:
    TorviGLTest() : BattleGLFixture("torvi_screens") {}
    void SetUp() override {
        BattleGLFixture::SetUp();
        if (HasFatalFailure()) return;
        InitGame();
        InitCharacterParams();
        config.soundOff = 1;
        HeldKeys().clear();
        SetKeyStateSource([](int vk) -> int16_t { return HeldKeys().count(vk) ? int16_t(-128) : int16_t(0); });
    }
    void TearDown() override {
        SetKeyStateSource(nullptr);
        ReleaseBattleAssets();
        transitionSprite = nullptr;
        gameCamera = nullptr;
        BattleGLFixture::TearDown();
    }

    // Torvi from the keyboard against kirune standing as the practice
    // dummy, on `stage`.
    static void StartBattle(int32_t stage) {
        players[0].characterId = 6;
        players[1].characterId = 1;
        players[0].colour = players[1].colour = 0;
        stageNumber = stage;
        gameMode = MODE_PRACTICE;
        difficulty = DIFFICULTY_NORMAL;
        replayPlayback = 0;
        sceneNumber = SCENE_BATTLE;
        SeedRandom(1);  // the battle's seed, and so the computer's play, the same every run
        sceneInitPending = 1;
        RunBattleScene();
    }
    static void RunUntil(int32_t frame) {
        while (battleFrame < frame && sceneNumber == SCENE_BATTLE) RunBattleScene();
    }

    void Save(const std::string& name, const std::vector<uint32_t>& pixels) {
        EXPECT_TRUE(test::WritePixelsPng((screens_ / name).string(), pixels, 640, 480));
    }
};

// The best whiteness among the dots of poses first..last.
int BestDot(const std::vector<uint32_t>& pixels, const PlayerRecord& p, int32_t first, int32_t last) {
    int best = 0;
    for (int32_t pose = first; pose <= last; ++pose) best = std::max(best, Whiteness(pixels, PoseDot(p.x, p.y, pose)));
    return best;
}

// The shot cloud (Z) shows poses 19 to 25, whose dots stand left of the body;
// the idle poses 0 to 3 (torvi's and the stand-in's) have theirs on the
// right. The buffer read back after a present may hold a frame presented a
// little earlier, so the probes take the whole range of each cycle.
TEST_F(TorviGLTest, ItsOwnPoseOnAStage) {
    StartBattle(3);
    RunUntil(200);
    ASSERT_EQ(battleFrame, 200);
    PlayerRecord& p = players[0];
    ASSERT_EQ(p.state, PLAYER_FREE);
    DrawBattle();
    const std::vector<uint32_t> standing = test::ReadEngineBackBuffer();
    Save("standing.png", standing);
    EXPECT_GE(BestDot(standing, p, 0, 2), 200) << "an idle pose's dot";
    EXPECT_LT(BestDot(standing, p, 19, 25), 200) << "no shot cloud pose yet";

    HeldKeys() = {'Z'};
    RunUntil(201);
    HeldKeys().clear();
    ASSERT_EQ(p.state, TORVI_SHOT_CLOUD);
    while (p.stateTimer < 12 && sceneNumber == SCENE_BATTLE) RunBattleScene();
    ASSERT_EQ(p.state, TORVI_SHOT_CLOUD);
    DrawBattle();
    const std::vector<uint32_t> cloud = test::ReadEngineBackBuffer();
    Save("shot_cloud.png", cloud);

    // Aimed straight at the opponent on the same line: unturned.
    ASSERT_EQ(p.aimAngle, 0.0f);
    EXPECT_GE(BestDot(cloud, p, 19, 25), 200) << "a shot cloud pose's dot";
    EXPECT_LT(BestDot(cloud, p, 0, 3), 200) << "no idle pose's dot";
}

}  // namespace
