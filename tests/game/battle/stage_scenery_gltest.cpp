// A battle on each of the nine stages on OpenGL, from the generated data set,
// through the real battle scene: each stage shows its own scenery, and the
// play field reads over it: the white core of a shot and the HUD's letters,
// bars and signs stand out from the scenery around them. The pictures are
// saved in build/stage_battle_screens, and the battles also in the folder
// that AERIAL_SCREENSHOTS names, as stage_N.png (scripts/screenshots.sh
// writes docs/screenshots this way).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "engine/core/math.h"
#include "engine/graphics/device.h"
#include "engine/graphics/render_state.h"
#include "game/arena/battle_state.h"
#include "game/arena/object_lists.h"
#include "game/arena/player_record.h"
#include "game/arena/screen_mapping.h"
#include "game/battle/battle_drawing.h"
#include "game/battle/battle_hud.h"
#include "game/battle/stage_drawing.h"
#include "game/flow/run_state.h"
#include "platform/system.h"
#include "tests/game/battle/battle_gl_fixture.h"
#include "tests/support/back_buffer_pixels.h"
#include "tests/support/battle_run.h"
#include "tools/datagen/model_set.h"
#include "tools/datagen/picture_set.h"

namespace {

using Pixels = std::vector<uint32_t>;

// Perceived brightness of a pixel, 0..255.
int Luma(const test::Rgb& c) { return (c.r * 299 + c.g * 587 + c.b * 114) / 1000; }
int LumaAt(const Pixels& pixels, int x, int y) { return Luma(test::PixelAt(pixels, {x, y})); }

void WriteGameData(const std::string& folder) {
    ASSERT_TRUE(datagen::WritePictureSet(folder));
    ASSERT_TRUE(datagen::WriteModelSet(folder));
}

// The stage's animation values, which carry on from battle to battle, set
// so that every run draws the same scenery.
void SetStageAnimation(float sway, float turn) {
    stageSwayAngle = sway;
    stageTurnAngle = turn;
    stageScrollA = stageScrollB = 0.0f;
}

class StageSceneryGLTest : public testing::Test {
protected:
    // Kirune against torvi on the stage, standing apart as the fight begins.
    void StartStandingApart(int32_t stage) {
        run.Start({.characters = {1, 6}, .colours = {0, 0}, .stage = stage, .mode = MODE_1P_VS_2P});
        while ((sceneInitPending || battleFrame < test::kFirstFreeBattleFrame) && run.RunFrame()) {
        }
        ASSERT_EQ(battleFrame, test::kFirstFreeBattleFrame);
        test::StandFightersApart();
    }

    void Save(const std::string& name, const Pixels& pixels, bool documented = false) {
        EXPECT_TRUE(test::SaveScreenshot(screens_, name, pixels, documented)) << name;
    }

    // Beside the test programs' folder, found before the harness moves the
    // program folder into its temporary one.
    const std::filesystem::path screens_ =
        std::filesystem::path(platform::ProgramFolder()).parent_path() / "stage_battle_screens";
    test::BattleRun run{test::OnOpenGL{WriteGameData}};
};

// ---- Readability probes ------------------------------------------------------------

// A rectangle of the screen, [left, right) x [top, bottom).
struct Box {
    const char* name;
    int left, top, right, bottom;
};

// The parts of the HUD: each side's panel and the timer.
constexpr Box kHudParts[] = {
    {"left tab and name", 20, 5, 165, 27}, {"left life bar", 30, 27, 242, 51}, {"left boost", 120, 50, 235, 71},
    {"left shield sign", 47, 48, 118, 72}, {"left dial", 5, 14, 65, 74},       {"timer", 280, 0, 360, 52},
    {"right tab and name", 475, 5, 620, 27}, {"right life bar", 398, 27, 610, 51}, {"right boost", 405, 50, 518, 71},
    {"right shield sign", 522, 48, 593, 72}, {"right dial", 575, 14, 635, 74},
};

// How a part of the HUD stands out in the battle picture. The HUD drawn
// alone on black tells its light marks (letters, digits, bars, the dial, the
// glow of the shield-ready sign) from what lies beside them, darker in the
// HUD's own picture: its dark plates and outlines, or nothing, where the
// scenery shows. A mark stands out when, in the battle picture, it is
// brighter by kHudContrast than those darker pixels within 3 pixels of it:
// a sign drawn by adding light, or a white letter, on scenery as light as
// itself does not.
struct HudContrast {
    int measured = 0;  // light marks with something darker beside them
    int clear = 0;     // of those, the ones that stand out
};
constexpr int kHudMark = 150, kHudDarker = 100, kHudContrast = 50;

HudContrast MeasureHud(const Pixels& battle, const Pixels& hudAlone, const Box& part) {
    HudContrast out;
    for (int y = part.top; y < part.bottom; ++y)
        for (int x = part.left; x < part.right; ++x) {
            const int mark = LumaAt(hudAlone, x, y);
            if (mark < kHudMark) continue;
            int sum = 0, count = 0;
            for (int dy = -3; dy <= 3; ++dy)
                for (int dx = -3; dx <= 3; ++dx)
                    if (LumaAt(hudAlone, x + dx, y + dy) <= mark - kHudDarker) {
                        sum += LumaAt(battle, x + dx, y + dy);
                        ++count;
                    }
            if (count == 0) continue;
            ++out.measured;
            out.clear += LumaAt(battle, x, y) - sum / count >= kHudContrast;
        }
    return out;
}

// The HUD of the battle as it stands, drawn alone on black with the same
// pulse phases as the battle picture drawn just before.
Pixels DrawHudAlone(double badgePhase, float blinkPhase) {
    hudBadgePhase = badgePhase;
    hudBlinkPhase = blinkPhase;
    ClearTarget(0xFF000000);
    if (BeginScene()) {
        DrawBattleHud();
        EndScene();
    }
    return test::ReadEngineBackBuffer();
}

// A shot's white core against the scenery round it: the mean brightness of
// its middle 3 x 3 pixels and of a ring just outside its picture.
struct ShotContrast {
    int core, ring;
};

ShotContrast MeasureShot(const Pixels& battle, ScreenPoint centre, int half) {
    int core = 0;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) core += LumaAt(battle, centre.x + dx, centre.y + dy);
    const int inner = half * 6 / 5, outer = inner + 6;
    int ring = 0, count = 0;
    for (int dy = -outer; dy <= outer; ++dy)
        for (int dx = -outer; dx <= outer; ++dx) {
            const int d2 = dx * dx + dy * dy;
            if (d2 < inner * inner || d2 > outer * outer) continue;
            ring += LumaAt(battle, centre.x + dx, centre.y + dy);
            ++count;
        }
    return {core / 9, ring / std::max(count, 1)};
}

// Shots stand at these screen points, clear of the HUD and of the two
// fighters (at -60 and 60 on a view 320 wide, so 120 pixels either side of
// the middle).
constexpr ScreenPoint kShotPlaces[] = {{320, 160}, {110, 320}, {530, 320}, {320, 300}, {200, 420}, {450, 420}};
constexpr int32_t kWhiteShot = 110;  // kirune's orb: a white core in a glow of its colour
constexpr int kShotContrast = 80;

// The world point at a screen point of the settled battle camera.
std::array<float, 2> WorldAt(ScreenPoint p) {
    return {cameraX + (static_cast<float>(p.x) - 320.0f) * viewWidth / 640.0f,
            cameraY + (240.0f - static_cast<float>(p.y)) * viewHeight / 480.0f};
}

// On every stage, with kirune and torvi standing apart and shots of
// kirune's among them, every shot's white core stands out from the scenery
// round it, and in every part of the HUD nearly all light marks (85 in 100)
// stand out from what lies beside them. Stage 8 is drawn with one of its
// ring of blocks behind the top-left HUD.
TEST_F(StageSceneryGLTest, WhiteShotsAndTheHudStandOutOnEveryStage) {
    run.UseRealDrawing(false);
    for (int32_t stage = 0; stage <= 8; ++stage) {
        SCOPED_TRACE("stage " + std::to_string(stage));
        ASSERT_NO_FATAL_FAILURE(StartStandingApart(stage));
        players[0].hyperGauge = players[1].hyperGauge = 1.5f;  // the dial, its badge and the shield-ready sign show
        ASSERT_TRUE(test::SettleBattleCamera(3));
        for (const ScreenPoint place : kShotPlaces) {
            const std::array<float, 2> at = WorldAt(place);
            SpawnShot(kWhiteShot, 0.0f, at.data(), 0);
        }
        SetStageAnimation(0.14f, 0.0f);  // on stage 8 a block stands behind the top-left HUD
        const double badgePhase = hudBadgePhase;
        const float blinkPhase = hudBlinkPhase;
        DrawBattle();
        const Pixels battle = test::ReadEngineBackBuffer();
        Save("probe_" + std::to_string(stage), battle);
        const Pixels hud = DrawHudAlone(badgePhase, blinkPhase);

        for (const Box& part : kHudParts) {
            const HudContrast c = MeasureHud(battle, hud, part);
            EXPECT_GE(c.measured, 20) << part.name << ": too little of it to measure";
            EXPECT_GE(c.clear * 100, c.measured * 85)
                << part.name << ": " << c.clear << " of " << c.measured << " light marks stand out";
        }
        const int half = ScreenLength(40.0f);  // the orb's half-size
        for (const ScreenPoint place : kShotPlaces) {
            const ShotContrast c = MeasureShot(battle, place, half);
            EXPECT_GE(c.core, 230) << "shot at " << place.x << "," << place.y;
            EXPECT_GE(c.core - c.ring, kShotContrast) << "shot at " << place.x << "," << place.y << ": core " << c.core
                                                       << ", scenery " << c.ring;
        }
    }
}

// What most of each stage's field shows below the HUD, by colour: a pixel's
// red, green and blue and its brightness.
struct Look {
    const char* name;
    bool (*shows)(int r, int g, int b, int luma);
};
constexpr Look kStageLooks[9] = {
    {"blue sky", [](int r, int g, int b, int luma) { return b >= r + 50 && b >= g + 25 && luma >= 50 && luma <= 190; }},
    {"green forest", [](int r, int g, int b, int luma) { return g >= r + 10 && g >= b - 25 && luma <= 170; }},
    {"blue water and sky", [](int r, int g, int b, int) { return b >= r + 50 && b >= g + 25; }},
    {"sand", [](int r, int g, int b, int luma) { return r >= g + 15 && g >= b + 15 && luma >= 60; }},
    {"violet cloud", [](int r, int g, int b, int) { return b >= g + 30 && r >= g + 10; }},
    {"dusk", [](int r, int g, int b, int) { return r >= b + 20 || (r >= g + 15 && b >= g + 15); }},
    {"dark tunnel",
     [](int r, int g, int b, int luma) { return luma <= 80 && std::abs(r - b) <= 30 && std::abs(r - g) <= 30; }},
    {"night blue", [](int r, int g, int b, int luma) { return b >= r + 45 && b >= g + 25 && luma <= 120; }},
    {"dark violet", [](int r, int g, int b, int luma) { return b >= g + 25 && r >= g + 5 && luma <= 90; }},
};

// The share of the field below the HUD that shows a look, 0..1.
double ShareShowing(const Pixels& pixels, const Look& look) {
    int showing = 0, all = 0;
    for (int y = 130; y < 480; ++y)
        for (int x = 0; x < 640; ++x, ++all) {
            const test::Rgb c = test::RgbOf(pixels[static_cast<size_t>(y) * 640 + x]);
            showing += look.shows(c.r, c.g, c.b, Luma(c));
        }
    return static_cast<double>(showing) / all;
}

// A battle against the computer on every stage, side 0 going after side 1
// and now and then using its other buttons: the picture a little after the
// fight has begun is the stage's screenshot, and most of its field shows
// the stage's own scenery.
TEST_F(StageSceneryGLTest, BattleOnEveryStageShowsItsScenery) {
    constexpr int32_t kCharacters[9][2] = {{1, 6}, {2, 3}, {3, 5}, {4, 7}, {5, 8}, {6, 1}, {7, 2}, {8, 4}, {1, 3}};
    run.SetScript([](int side, int32_t frame) -> InputWord {
        const InputWord chase = test::ChaseAndSlash(side, frame);
        if (side == 1 || !chase) return chase;
        const InputWord extras[] = {0, INPUT_X, INPUT_C, INPUT_S};
        return chase | (frame % 90 < 8 ? extras[frame / 90 % 4] : 0);
    });
    for (int32_t stage = 0; stage <= 8; ++stage) {
        SCOPED_TRACE("stage " + std::to_string(stage));
        SeedRandom(static_cast<uint32_t>(stage) + 1);  // the battle against the computer draws its seed from here
        SetStageAnimation(0.5f * static_cast<float>(stage), 0.0f);
        run.UseRealDrawing(false);
        run.Start({.characters = {kCharacters[stage][0], kCharacters[stage][1]},
                   .colours = {0, 0},
                   .stage = stage,
                   .mode = MODE_1P_VS_CPU});
        while ((sceneInitPending || battleFrame < 330) && run.RunFrame()) {
        }
        run.UseRealDrawing(true);  // the camera follows the fighters inside the drawing
        while (battleFrame < 360 && run.RunFrame()) {
        }
        ASSERT_EQ(battleFrame, 360);
        const Pixels battle = test::ReadEngineBackBuffer();
        Save("stage_" + std::to_string(stage), battle, true);
        const Look& look = kStageLooks[stage];
        EXPECT_GE(ShareShowing(battle, look), 0.5) << look.name;
    }
}

// The picture in 16 x 16 tiles, 40 across and 30 down.
constexpr int kTile = 16, kTilesAcross = 640 / kTile, kTilesDown = 480 / kTile;

// Whether every pixel of the tile whose top left corner is (left, top)
// passes a test of its channels.
template <typename Passes>
bool WholeTile(const Pixels& pixels, int left, int top, Passes passes) {
    for (int y = top; y < top + kTile; ++y)
        for (int x = left; x < left + kTile; ++x)
            if (!passes(test::RgbOf(pixels[static_cast<size_t>(y) * 640 + x]))) return false;
    return true;
}

// The share of the picture, 0..1, in tiles that are one flat black: not a
// pixel above kFlatBlack in any channel.
double ShareFlatBlack(const Pixels& pixels) {
    constexpr int kFlatBlack = 8;
    int black = 0;
    for (int top = 0; top < 480; top += kTile)
        for (int left = 0; left < 640; left += kTile)
            black += WholeTile(pixels, left, top,
                               [](const test::Rgb& c) { return std::max({c.r, c.g, c.b}) <= kFlatBlack; });
    return static_cast<double>(black) / (kTilesAcross * kTilesDown);
}

// A tile is dark when no pixel in it reaches kDark in any channel, under a
// fifth of full brightness. The dimmest lit scenery, stage 5's island under
// one light of (0.2, 0.2, 0.3), reaches 76 in blue at most and 56 or more in
// every tile it fills; stage 5's dusk sky, where it is darkest, 50 and more.
// It is nearly flat when its pixels' brightness spans at most kFlatSpan
// levels: room for one soft edge between two dim faces, none for a texture
// that shows. And it is fog, not counted, when every pixel lies within
// kNearFog of the stage's fog colour in every channel: scenery fading into
// the distance, as the far walls of stage 6's tunnel fade into its dark
// grey fog (17, 17, 17) with their last lines still faintly on them.
constexpr int kDark = 48, kFlatSpan = 16, kNearFog = 24;

// The largest patch, in tiles joined side to side, that is dark, nearly
// flat and not fog: a model drawn in too little light for its shape or
// its texture to show.
int LargestDarkFlatPatch(const Pixels& pixels, const test::Rgb& fog) {
    std::vector<char> dull(kTilesAcross * kTilesDown, 0);
    for (int ty = 0; ty < kTilesDown; ++ty)
        for (int tx = 0; tx < kTilesAcross; ++tx) {
            int lowest = 255, highest = 0;
            const bool dark = WholeTile(pixels, tx * kTile, ty * kTile, [&](const test::Rgb& c) {
                lowest = std::min(lowest, Luma(c));
                highest = std::max(highest, Luma(c));
                return std::max({c.r, c.g, c.b}) < kDark;
            });
            const bool inFog = WholeTile(pixels, tx * kTile, ty * kTile, [&](const test::Rgb& c) {
                return std::abs(c.r - fog.r) <= kNearFog && std::abs(c.g - fog.g) <= kNearFog &&
                       std::abs(c.b - fog.b) <= kNearFog;
            });
            dull[ty * kTilesAcross + tx] = dark && highest - lowest <= kFlatSpan && !inFog;
        }
    int largest = 0;
    std::vector<int> stack;
    for (int start = 0; start < kTilesAcross * kTilesDown; ++start) {
        if (!dull[start]) continue;
        dull[start] = 0;
        stack.assign(1, start);
        int size = 0;
        while (!stack.empty()) {
            const int t = stack.back();
            stack.pop_back();
            ++size;
            const int tx = t % kTilesAcross, ty = t / kTilesAcross;
            for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                const int x = tx + dx, y = ty + dy;
                if (x < 0 || x >= kTilesAcross || y < 0 || y >= kTilesDown || !dull[y * kTilesAcross + x]) continue;
                dull[y * kTilesAcross + x] = 0;
                stack.push_back(y * kTilesAcross + x);
            }
        }
        largest = std::max(largest, size);
    }
    return largest;
}

// A patch as large as a fighter, about 12 tiles or a hundredth of the
// picture, is too large to be one dark flat shade.
constexpr int kLargestDullPatch = 11;

// Every stage's scenery is lit or painted wherever it shows: at four points
// of its sway, a quarter turn apart, no part of the picture as large as a
// fighter is one flat black, as an unlit model would be, nor one dark flat
// shade, as a model lit too dimly for its shape and texture to show.
TEST_F(StageSceneryGLTest, NoLargePartOfAnyStageIsOneFlatBlack) {
    run.UseRealDrawing(false);
    for (int32_t stage = 0; stage <= 8; ++stage) {
        SCOPED_TRACE("stage " + std::to_string(stage));
        ASSERT_NO_FATAL_FAILURE(StartStandingApart(stage));
        ASSERT_TRUE(test::SettleBattleCamera(3));
        const test::Rgb fog = test::RgbOf(renderStateCache[gpu::D3DRS_FOGCOLOR]);
        for (int quarter = 0; quarter < 4; ++quarter) {
            SetStageAnimation(static_cast<float>(quarter) * 1.5707964f, static_cast<float>(quarter) * 0.5f);
            DrawBattle();
            const Pixels battle = test::ReadEngineBackBuffer();
            Save("flat_black_" + std::to_string(stage) + "_" + std::to_string(quarter), battle);
            EXPECT_LE(ShareFlatBlack(battle), 0.01) << "at sway " << quarter << " quarter turns";
            EXPECT_LE(LargestDarkFlatPatch(battle, fog), kLargestDullPatch)
                << "at sway " << quarter << " quarter turns; fog " << fog.r << "," << fog.g << "," << fog.b;
        }
    }
}

}  // namespace
