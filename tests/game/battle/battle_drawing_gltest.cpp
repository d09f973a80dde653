// A battle on OpenGL for every stage, from the generated data set, run
// through the real battle scene to frame 300: the stage behind, the arena
// rim, both fighters and the HUD, checked by pixel probes. Each picture is saved as build/battle_screens/battleN.png.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "game/arena/battle_assets.h"
#include "game/arena/battle_state.h"
#include "game/arena/player_record.h"
#include "game/arena/screen_mapping.h"
#include "game/battle/battle_drawing.h"
#include "game/battle/battle_scene.h"
#include "game/flow/input_words.h"
#include "game/flow/numeric_helpers.h"
#include "game/flow/replay_file.h"
#include "game/flow/run_state.h"
#include "game/flow/save_files.h"
#include "game/flow/transitions.h"
#include "platform/keyboard.h"
#include "tests/game/battle/battle_gl_fixture.h"
#include "tests/support/back_buffer_pixels.h"

namespace {

using test::Rgb;
using test::RgbOf;

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
        const auto at = [&](ScreenPoint p) { return RgbOf(pixels[static_cast<size_t>(p.y) * 640 + p.x]); };
        RimProbe probe{degrees, 0, Level(at(point(r - 10.0f)))};
        for (float radius = r - 3.0f; radius <= r + 3.0f; radius += 0.5f) {
            const Rgb p = at(point(radius));
            if (std::min({p.r, p.g, p.b}) >= 200) probe.rim = std::max(probe.rim, Level(p));
        }
        return probe;
    }
    return {-1.0f, 0, 0};
}

class BattleGLTest : public test::BattleSceneGLFixture {
protected:
    BattleGLTest() : BattleSceneGLFixture("battle_screens") {}
    void SetUp() override {
        BattleSceneGLFixture::SetUp();
        HeldKeys() = {platform::VK_LEFT};
    }

    // kirune, played from the keyboard with the left arrow held, against the
    // practice dummy's placeholder fighter (standing still) on the stage,
    // through the real battle scene until `frames` frames have run (so kirune
    // walks to the rim once the countdown lets the arrows through).
    static void RunBattle(int32_t stage, int32_t frames) {
        StartBattle(1, 6, stage, MODE_PRACTICE);
        RunUntil(frames);
    }
};

TEST_F(BattleGLTest, EveryStageShowsRimFightersAndHud) {
    for (int32_t stage = 0; stage <= 8; ++stage) {
        SCOPED_TRACE("stage " + std::to_string(stage));
        RunBattle(stage, 300);
        ASSERT_EQ(battleFrame, 300);
        const std::vector<uint32_t> pixels = test::ReadEngineBackBuffer();
        Save("battle" + std::to_string(stage) + ".png", pixels);
        const auto at = [&](int x, int y) { return RgbOf(pixels[static_cast<size_t>(y) * 640 + x]); };

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

        // Both character tabs, where the dials leave them clear, in their
        // characters' colours: kirune's red on the left, torvi's blue on the right.
        struct Tones {
            int red = 0, blue = 0;  // pixels clearly of either
        };
        const auto tabTones = [&](int left) {
            Tones tones;
            for (int y = 7; y < 24; ++y)
                for (int x = left; x < left + 32; ++x) {
                    const Rgb p = at(x, y);
                    tones.red += p.r > p.b + 60;
                    tones.blue += p.b > p.r + 60;
                }
            return tones;
        };
        const Tones left = tabTones(66), right = tabTones(542);
        EXPECT_GT(left.red, 200);
        EXPECT_EQ(left.blue, 0);
        EXPECT_GT(right.blue, 200);
        EXPECT_EQ(right.red, 0);
    }
}

// While a side's invulnerableTimer is negative the last presented picture
// is laid over the new one: a fighter that moved leaves a ghost behind.
TEST_F(BattleGLTest, AfterImageShowsTheLastPresentedPicture) {
    RunBattle(2, 300);
    const ScreenPoint before = WorldToScreen(players[0].x, 5.0f);
    players[0].x = -60.0f;
    players[0].invulnerableTimer = -20;
    DrawBattle();
    const std::vector<uint32_t> pixels = test::ReadEngineBackBuffer();
    Save("after_image.png", pixels);
    const Rgb ghost = RgbOf(pixels[static_cast<size_t>(before.y) * 640 + before.x]);
    EXPECT_GE(ghost.r, ghost.g + 60) << before.x << "," << before.y;

    // Without the overlay the old place shows the scenery only.
    players[0].invulnerableTimer = 0;
    DrawBattle();
    const Rgb scenery = RgbOf(test::ReadEngineBackBuffer()[static_cast<size_t>(before.y) * 640 + before.x]);
    EXPECT_LT(scenery.r, scenery.g + 60) << before.x << "," << before.y;
}

}  // namespace
