// A battle picture on OpenGL for every stage, from the generated data set:
// the stage behind, the arena rim, both fighters and the HUD, checked by
// pixel probes. Each picture is saved as build/battle_screens/battleN.png.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/graphics/texture.h"
#include "game/battle/battle_assets.h"
#include "game/battle/battle_drawing.h"
#include "game/battle/battle_scene.h"
#include "game/battle/battle_state.h"
#include "game/battle/numeric_helpers.h"
#include "game/battle/player_record.h"
#include "game/battle/screen_mapping.h"
#include "game/flow/game_start.h"
#include "game/flow/transitions.h"
#include "tests/game/battle/battle_gl_fixture.h"
#include "tests/support/back_buffer_pixels.h"

namespace {

struct Rgb {
    int r, g, b;
};
Rgb Split(uint32_t p) { return {static_cast<int>(p >> 16 & 0xff), static_cast<int>(p >> 8 & 0xff), static_cast<int>(p & 0xff)}; }

// Where the rim crosses a ray from the arena's centre: the brightest
// near-white pixel within 3 pixels of its radius, and the level of the
// scenery 10 pixels inside (levels are sums of the three channels). The rim
// is added to what lies below, so it shows unless that is white already.
struct RimProbe {
    float degrees;  // of the ray, counter-clockwise from the right; -1 for none
    int rim, inside;
};

int Level(const Rgb& p) { return p.r + p.g + p.b; }

// The first ray whose crossing is on the screen below the HUD and clear of
// both fighters.
RimProbe ProbeRim(const std::vector<uint32_t>& pixels) {
    const ScreenPoint c = WorldToScreen(0.0f, 0.0f);
    const float r = 375.0f * 640.0f / viewWidth;
    for (float degrees : {180.0f, 200.0f, 160.0f, 220.0f, 140.0f, 240.0f, 300.0f, 0.0f}) {
        const float dx = std::cos(degrees * PI_F / 180.0f), dy = -std::sin(degrees * PI_F / 180.0f);
        const auto point = [&](float radius) {
            return ScreenPoint{c.x + static_cast<int32_t>(dx * radius), c.y + static_cast<int32_t>(dy * radius)};
        };
        const auto clear = [&](ScreenPoint p) {
            if (p.x < 1 || p.x > 638 || p.y < 140 || p.y > 478) return false;
            for (const PlayerRecord& fighter : players) {
                const ScreenPoint f = WorldToScreen(fighter.x, fighter.y);
                if (std::abs(f.x - p.x) < 40 && std::abs(f.y - p.y) < 40) return false;
            }
            return true;
        };
        if (!clear(point(r + 3.0f)) || !clear(point(r - 10.0f))) continue;
        const auto at = [&](ScreenPoint p) { return Split(pixels[static_cast<size_t>(p.y) * 640 + p.x]); };
        RimProbe probe{degrees, 0, Level(at(point(r - 10.0f)))};
        for (float radius = r - 3.0f; radius <= r + 3.0f; radius += 0.5f) {
            const Rgb p = at(point(radius));
            if (std::min({p.r, p.g, p.b}) >= 200) probe.rim = std::max(probe.rim, Level(p));
        }
        return probe;
    }
    return {-1.0f, 0, 0};
}

class BattleGLTest : public test::BattleGLFixture {
protected:
    BattleGLTest() : BattleGLFixture("battle_screens") {}
    void SetUp() override {
        BattleGLFixture::SetUp();
        if (HasFatalFailure()) return;
        InitGame();
        InitCharacterParams();
        LoadBattleSheets();
    }
    void TearDown() override {
        battleEffectTexture = battlePerticleTexture = battleSystemTexture = nullptr;
        battleNamePlateTexture = battleMessageTexture = battleRenderTarget = nullptr;
        transitionSprite = nullptr;
        gameCamera = nullptr;
        BattleGLFixture::TearDown();
    }

    static void LoadBattleSheets() {
        const char* archive = "gf\\system.dat";
        battleEffectTexture = CreateTextureFromArchive(archive, "effect", 1, nullptr);
        battlePerticleTexture = CreateTextureFromArchive(archive, "perticle", 1, nullptr);
        battleSystemTexture = CreateTextureFromArchive(archive, "system", 1, nullptr);
        battleNamePlateTexture = CreateTextureFromArchive(archive, "name_plate", 1, nullptr);
        battleMessageTexture = CreateTextureFromArchive(archive, "message", 1, nullptr);
        battleRenderTarget = CreateRenderTargetTexture(1024, 1024, nullptr);
    }

    // kirune against a placeholder fighter far enough apart for the whole
    // rim to fit, in the middle of a fight.
    static void PrepareBattle(int32_t stage) {
        for (int side = 0; side < 2; ++side) {
            players[side] = PlayerRecord{};
            players[side].characterId = side ? 6 : 1;
            ResetPlayerForBattle(side);
            LoadCharacterModels(side);
        }
        players[0].x = -300.0f;
        players[1].x = 300.0f;
        players[0].life = 4100;
        players[0].shownLife = 4600;
        players[0].hyperGauge = 1.4f;
        players[1].boostGauge = 0.6f;
        players[1].comboDamage = 880;
        players[1].comboHits = 4;
        players[1].comboTimer = 60;
        battleTimer = 96;
        stageNumber = stage;
        gameMode = MODE_1P_VS_2P;
        battlePaused = 0;
        battleFadeLevel = 1.0f;
        viewWidth = viewHeight = cameraX = cameraY = 0.0f;
        transitionRunning = 0;
        LoadStage(stage);
    }
};

TEST_F(BattleGLTest, EveryStageShowsRimFightersAndHud) {
    for (int32_t stage = 0; stage <= 8; ++stage) {
        SCOPED_TRACE("stage " + std::to_string(stage));
        PrepareBattle(stage);
        DrawBattle();
        DrawBattle();
        const std::vector<uint32_t> pixels = test::ReadEngineBackBuffer();
        EXPECT_TRUE(test::WritePixelsPng((screens_ / ("battle" + std::to_string(stage) + ".png")).string(), pixels,
                                         640, 480));
        const auto at = [&](int x, int y) { return Split(pixels[static_cast<size_t>(y) * 640 + x]); };

        // The rim, where the scenery leaves room to see it.
        const RimProbe rim = ProbeRim(pixels);
        ASSERT_GE(rim.degrees, 0) << "no free stretch of the rim on the screen";
        if (rim.inside < 700) {
            EXPECT_GE(rim.rim, rim.inside + 60) << "rim at " << rim.degrees << " degrees";
        }

        // The fighters' heads: kirune's red, the other's blue.
        const ScreenPoint head0 = WorldToScreen(players[0].x, 5.0f), head1 = WorldToScreen(players[1].x, 5.0f);
        const Rgb red = at(head0.x, head0.y), blue = at(head1.x, head1.y);
        EXPECT_GE(red.r, 170) << head0.x << "," << head0.y;
        EXPECT_GE(red.r, red.g + 80) << head0.x << "," << head0.y;
        EXPECT_GE(blue.b, 170) << head1.x << "," << head1.y;
        EXPECT_GE(blue.b, blue.r + 80) << head1.x << "," << head1.y;

        // Both character tabs, beside the dials: the HUD sheet's tiles in
        // their two tones (side 0 reads a dark tile, mirrored side 1 a light one).
        const struct { int x, y; Rgb tile; } tabs[] = {{80, 10, {28, 84, 98}}, {560, 10, {40, 120, 140}}};
        for (const auto& t : tabs) {
            const Rgb tab = at(t.x, t.y);
            EXPECT_NEAR(tab.r, t.tile.r, 12) << t.x << "," << t.y;
            EXPECT_NEAR(tab.g, t.tile.g, 12) << t.x << "," << t.y;
            EXPECT_NEAR(tab.b, t.tile.b, 12) << t.x << "," << t.y;
        }
        ReleaseBattleModels();
    }
}

// While a side's invulnerableTimer is negative the last presented picture
// is laid over the new one: a fighter that moved leaves a ghost behind.
TEST_F(BattleGLTest, AfterImageShowsTheLastPresentedPicture) {
    PrepareBattle(2);
    DrawBattle();
    const ScreenPoint before = WorldToScreen(players[0].x, 5.0f);
    players[0].x = -60.0f;
    players[0].invulnerableTimer = -20;
    DrawBattle();
    const std::vector<uint32_t> pixels = test::ReadEngineBackBuffer();
    EXPECT_TRUE(test::WritePixelsPng((screens_ / "after_image.png").string(), pixels, 640, 480));
    const Rgb ghost = Split(pixels[static_cast<size_t>(before.y) * 640 + before.x]);
    EXPECT_GE(ghost.r, ghost.g + 60) << before.x << "," << before.y;

    // Without the overlay the old place shows the scenery only.
    players[0].invulnerableTimer = 0;
    DrawBattle();
    const Rgb scenery = Split(test::ReadEngineBackBuffer()[static_cast<size_t>(before.y) * 640 + before.x]);
    EXPECT_LT(scenery.r, scenery.g + 60) << before.x << "," << before.y;
}

}  // namespace
