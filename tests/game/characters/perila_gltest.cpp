// Perila on OpenGL, from the generated data set, through the real battle
// scene: her own pose pictures (not the stand-in's idle cycle) and her
// satellites flying out on an order, checked by pixel probes. The pictures are
// saved in build/perila_screens/.
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
#include "game/characters/perila.h"
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

// Pixels within 12 of a point whose green stands out: the satellites' tint.
int GreenPixels(const std::vector<uint32_t>& pixels, ScreenPoint p) {
    int count = 0;
    for (int dy = -12; dy <= 12; ++dy)
        for (int dx = -12; dx <= 12; ++dx) {
            const Rgb c = PixelAt(pixels, {p.x + dx, p.y + dy});
            if (c.g >= c.r + 40 && c.g >= c.b + 40) ++count;
        }
    return count;
}

// Every generated pose picture has a white dot 0.35 of its width from the
// centre, at 2 pi pose / 53 (counter-clockwise in the picture, whose y runs
// down): where the dot of `pose` falls for a figure drawn unturned at (x, y)
// on a plane 40 units wide.
ScreenPoint PoseDot(float x, float y, int32_t pose) {
    const float a = 2.0f * 3.1415927f * static_cast<float>(pose) / 53.0f;
    return WorldToScreen(x + 14.0f * std::cos(a), y - 14.0f * std::sin(a));
}

std::set<int>& HeldKeys() {
    static std::set<int> keys;
    return keys;
}

class PerilaGLTest : public test::BattleGLFixture {
protected:
    PerilaGLTest() : BattleGLFixture("perila_screens") {}
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

    // Perila from the keyboard against kirune standing as the practice
    // dummy, on `stage`.
    static void StartBattle(int32_t stage) {
        players[0].characterId = 4;
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

// The swarm (C with A) at stateTimer 19 shows pose 26, whose dot stands left
// of the body; the stand-in's idle poses 0 to 3 have theirs on the right. By
// then the order has sent every satellite far out of its ring about her.
TEST_F(PerilaGLTest, HerOwnPoseAndTheSatellitesFlyingOut) {
    StartBattle(2);
    RunUntil(200);
    ASSERT_EQ(battleFrame, 200);
    const std::vector<uint32_t> standing = test::ReadEngineBackBuffer();
    Save("standing.png", standing);
    PlayerRecord& p = players[0];
    ASSERT_EQ(p.state, PLAYER_FREE);
    ASSERT_EQ(p.objects.size(), 7u);
    for (const PlayerObject& o : p.objects) {
        EXPECT_LT(std::hypot(o.position[0] - p.x, o.position[1] - p.y), 80.0f) << "circling close by";
        EXPECT_EQ(o.type, 300);
    }

    p.hyperGauge = 1.0f;
    HeldKeys() = {'C', 'A'};
    RunUntil(201);
    HeldKeys().clear();
    ASSERT_EQ(p.state, PERILA_SWARM);
    RunUntil(219);
    ASSERT_EQ(p.state, PERILA_SWARM);
    ASSERT_EQ(p.stateTimer, 19);
    DrawBattle();  // the picture of the coming frame: stateTimer 19, pose 26
    const std::vector<uint32_t> swarm = test::ReadEngineBackBuffer();
    Save("swarm.png", swarm);

    // The pose, unturned (aiming right at the opponent).
    ASSERT_LT(std::fabs(p.aimAngle), 1.5f);
    EXPECT_GE(Whiteness(swarm, PoseDot(p.x, p.y, 26)), 200) << "pose 26's dot";
    for (int32_t idle = 0; idle < 4; ++idle)
        EXPECT_LT(Whiteness(swarm, PoseDot(p.x, p.y, idle)), 200) << "idle pose " << idle << "'s dot";

    // The satellites, far from their ring and drawn where they are.
    int shown = 0;
    for (const PlayerObject& o : p.objects) {
        EXPECT_GT(std::hypot(o.position[0] - p.x, o.position[1] - p.y), 80.0f) << "flown out";
        const ScreenPoint at = WorldToScreen(o.position[0], o.position[1]);
        if (at.x < 10 || at.x > 630 || at.y < 90 || at.y > 470) continue;
        ++shown;
        EXPECT_GE(GreenPixels(swarm, at), 40) << "satellite at " << at.x << "," << at.y;
        EXPECT_LT(GreenPixels(standing, at), 10) << "nothing green there before, at " << at.x << "," << at.y;
    }
    EXPECT_GE(shown, 3);
}

}  // namespace
