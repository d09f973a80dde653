// The battle's HUD, pause menu and banners and the result screen on OpenGL,
// from the generated data set, through the real scenes. The timer's digits
// and the menu's labels on the screen are compared with the generator's own
// pictures of them; the result screen's message lines must be glyphs on the
// band, not filled boxes. Every picture is saved in build/hud_screens, and
// also in the folder that AERIAL_SCREENSHOTS names (scripts/screenshots.sh
// writes docs/screenshots this way).
#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "engine/core/math.h"
#include "game/arena/battle_state.h"
#include "game/arena/hud_sheets.h"
#include "game/arena/player_record.h"
#include "game/battle/battle_menu.h"
#include "game/battle/battle_scene.h"
#include "game/flow/run_state.h"
#include "game/screens/result_screen.h"
#include "game/shots/screen_flashes.h"
#include "platform/system.h"
#include "tests/support/back_buffer_pixels.h"
#include "tests/support/battle_run.h"
#include "tools/datagen/model_set.h"
#include "tools/datagen/picture_set.h"

namespace {

using hud_sheets::Cell;

struct Rgb {
    int r, g, b;
    int Level() const { return r + g + b; }
};
Rgb Split(uint32_t p) { return {static_cast<int>(p >> 16 & 0xff), static_cast<int>(p >> 8 & 0xff), static_cast<int>(p & 0xff)}; }
constexpr Rgb WHITE{255, 255, 255};

// The generator's painting of a sheet of "gf/system.dat".
datagen::Canvas PaintSheet(const std::string& key) {
    datagen::Lettering lettering;
    for (const datagen::Picture& p : datagen::PictureCatalogue())
        if (p.archive == "gf/system.dat" && p.key == key) {
            datagen::Canvas canvas(p.width, p.height, {0, 0, 0, 0});
            p.paint(canvas, lettering);
            return canvas;
        }
    ADD_FAILURE() << "no sheet " << key;
    return datagen::Canvas(1, 1, {});
}

// Screen rectangle [left, right) x [top, bottom).
struct Place {
    int left, top, right, bottom;
};

// How far the screen's `place` is from the opaque sheet cell `source`
// stretched over it and tinted: the mean difference per channel (0..255).
// The outermost pixels are left out, where filtering mixes in neighbours.
double Distance(const std::vector<uint32_t>& screen, const datagen::Canvas& sheet, const Cell& source,
                const Place& place, Rgb tint = WHITE) {
    const double sx = static_cast<double>(source.right - source.left) / (place.right - place.left);
    const double sy = static_cast<double>(source.bottom - source.top) / (place.bottom - place.top);
    double sum = 0.0;
    int count = 0;
    for (int y = place.top + 1; y < place.bottom - 1; ++y)
        for (int x = place.left + 1; x < place.right - 1; ++x) {
            const int u = source.left + static_cast<int>((x - place.left + 0.5) * sx);
            const int v = source.top + static_cast<int>((y - place.top + 0.5) * sy);
            const uint8_t* q = &sheet.Pixels()[(static_cast<size_t>(v) * sheet.Width() + u) * 4];
            const Rgb s = Split(screen[static_cast<size_t>(y) * 640 + x]);
            sum += std::abs(s.r - q[2] * tint.r / 255) + std::abs(s.g - q[1] * tint.g / 255) +
                   std::abs(s.b - q[0] * tint.b / 255);
            ++count;
        }
    return sum / (3.0 * count);
}

// The candidate whose cell the screen's place shows most closely, and how
// much closer it is than the runner-up.
struct Match {
    int index = -1;
    double margin = 0.0;
};
template <typename CellOf>
Match BestMatch(const std::vector<uint32_t>& screen, const datagen::Canvas& sheet, int candidates, CellOf cellOf,
                const Place& place, Rgb tint = WHITE) {
    double best = std::numeric_limits<double>::max(), second = best;
    Match match;
    for (int i = 0; i < candidates; ++i) {
        const double d = Distance(screen, sheet, cellOf(i), place, tint);
        if (d < best) {
            second = best, best = d, match.index = i;
        } else if (d < second) {
            second = d;
        }
    }
    match.margin = second - best;
    return match;
}

// Candidates tell apart when the best differs from the next by this much.
constexpr double kDistinct = 3.0;

// A cell drawn at full strength differs from its picture only by filtering.
constexpr double kSamePicture = 20.0;

void WriteGameData(const std::string& folder) {
    ASSERT_TRUE(datagen::WritePictureSet(folder));
    ASSERT_TRUE(datagen::WriteModelSet(folder));
}

class HudGLTest : public testing::Test {
protected:
    void SetUp() override {
        SeedRandom(3);  // the battle against the computer draws its seed from here
        run.Start({.characters = {1, 6}, .colours = {0, 0}, .stage = 1, .mode = MODE_1P_VS_CPU});
    }

    void RunTo(int32_t frame) {
        while ((sceneInitPending || battleFrame < frame) && run.RunFrame()) {
        }
        ASSERT_EQ(sceneNumber, SCENE_BATTLE);
    }
    // The picture on the screen now, saved under `name`; a picture of the
    // documentation's set also goes to the folder AERIAL_SCREENSHOTS names.
    void Shoot(const std::string& name, bool documented = false) {
        pixels = test::ReadEngineBackBuffer();
        EXPECT_TRUE(test::SaveScreenshot(screens_, name, pixels, documented)) << name;
    }
    Rgb At(int x, int y) const { return Split(pixels[static_cast<size_t>(y) * 640 + x]); }

    // Opens the pause menu and waits until it has faded in, nobody pressing.
    void OpenMenu() {
        run.SetScript(nullptr);
        OpenBattleMenu();
        while (battleMenuState != BATTLE_MENU_CHOOSING && run.RunFrame()) {
        }
        ASSERT_EQ(battleMenuState, BATTLE_MENU_CHOOSING);
    }

    // Beside the test programs' folder, found before the harness moves the
    // program folder into its temporary one.
    const std::filesystem::path screens_ =
        std::filesystem::path(platform::ProgramFolder()).parent_path() / "hud_screens";
    test::BattleRun run{test::OnOpenGL{WriteGameData}};
    const datagen::Canvas system = PaintSheet("system");
    std::vector<uint32_t> pixels;
};

TEST_F(HudGLTest, TimerShowsTheDigitsOfItsValue) {
    RunTo(300);
    struct Case {
        int32_t timer;
        Rgb tint;  // red in the last ten units
    };
    for (const Case& c : {Case{37, WHITE}, Case{80, WHITE}, Case{9, {255, 150, 150}}}) {
        SCOPED_TRACE("timer " + std::to_string(c.timer));
        battleTimer = c.timer;
        run.RunFrame();  // drawn before the frame counts the timer down
        Shoot("timer_" + std::to_string(c.timer));
        const Place tens{296, 16, 320, 51}, units{320, 16, 344, 51};
        const Match tensDigit =
            BestMatch(pixels, system, 10, [](int d) { return hud_sheets::TimerDigit(d, 0); }, tens, c.tint);
        const Match unitsDigit =
            BestMatch(pixels, system, 10, [](int d) { return hud_sheets::TimerDigit(d, 1); }, units, c.tint);
        EXPECT_EQ(tensDigit.index, c.timer / 10);
        EXPECT_EQ(unitsDigit.index, c.timer % 10);
        EXPECT_GT(tensDigit.margin, kDistinct);
        EXPECT_GT(unitsDigit.margin, kDistinct);
        EXPECT_LT(Distance(pixels, system, hud_sheets::TimerDigit(c.timer % 10, 1), units, c.tint), kSamePicture);
        EXPECT_LT(Distance(pixels, system, hud_sheets::kTimerLabel, {280, 0, 360, 20}, c.tint), kSamePicture);
    }
    // No time limit: the sign for it in place of the digits.
    battleTimer = 100;
    run.RunFrame();
    Shoot("timer_no_limit");
    EXPECT_LT(Distance(pixels, system, hud_sheets::kTimerNoLimit, {295, 16, 345, 51}), kSamePicture);
}

TEST_F(HudGLTest, PauseMenuShowsItsThreeLabelsAndLightsTheChosenOne) {
    RunTo(260);
    OpenMenu();
    // Labels at full fade stand centred at x 320, 60 pixels apart from y 180.
    const auto placeOf = [](int32_t row) { return Place{220, 160 + 60 * row, 420, 200 + 60 * row}; };
    double distance[hud_sheets::kMenuEntries][hud_sheets::kMenuEntries];  // [cursor][row]
    for (int32_t k = 0; k < hud_sheets::kMenuEntries; ++k) {
        SCOPED_TRACE("cursor " + std::to_string(k));
        battleMenuCursor = k;
        run.RunFrame();
        Shoot("pause_menu_" + std::to_string(k));
        const Match label = BestMatch(pixels, system, hud_sheets::kMenuEntries, hud_sheets::MenuLabel, placeOf(k));
        EXPECT_EQ(label.index, k);
        EXPECT_GT(label.margin, kDistinct);
        EXPECT_LT(Distance(pixels, system, hud_sheets::MenuLabel(k), placeOf(k)), kSamePicture);
        for (int32_t row = 0; row < hud_sheets::kMenuEntries; ++row)
            distance[k][row] = Distance(pixels, system, hud_sheets::MenuLabel(row), placeOf(row));
    }
    // The others are a third as strong over the darkened band: their
    // pictures show far less clearly than when they are lit.
    for (int32_t k = 0; k < hud_sheets::kMenuEntries; ++k)
        for (int32_t row = 0; row < hud_sheets::kMenuEntries; ++row)
            if (row != k) {
                EXPECT_GT(distance[k][row], distance[row][row] + 10.0) << "cursor " << k << " row " << row;
            }
}

// A box of a text line drawn straight onto the screen in black over the
// light band: some pixels are glyph ink, most are the band.
struct Ink {
    double dark, light;  // shares of the box's pixels
};
Ink InkIn(const std::vector<uint32_t>& screen, const Place& box) {
    int dark = 0, light = 0, all = 0;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x, ++all) {
            const int level = Split(screen[static_cast<size_t>(y) * 640 + x]).Level();
            dark += level < 200;
            light += level > 450;
        }
    return {static_cast<double>(dark) / all, static_cast<double>(light) / all};
}

void ExpectGlyphsNotABox(const std::vector<uint32_t>& screen, const Place& box) {
    const Ink ink = InkIn(screen, box);
    // Text measures about an eighth ink and three quarters band; glyphs drawn
    // as filled boxes measure over half ink.
    EXPECT_GT(ink.dark, 0.05) << "no glyphs at " << box.left << "," << box.top;
    EXPECT_LT(ink.dark, 0.3) << "a filled box at " << box.left << "," << box.top;
    EXPECT_GT(ink.light, 0.6) << "the band does not show between the glyphs at " << box.left << "," << box.top;
}

// A battle against the computer through its banners, fighting, the pause
// menu and a time-up, into the result screen, whose two message lines
// (before and after C saves the replay) are read pixel by pixel.
TEST_F(HudGLTest, BattleToResultScreenWithReadableMessageLines) {
    RunTo(100);
    Shoot("battle_banner", true);
    EXPECT_TRUE(bannerActive);
    // Side 0 chases and attacks, now and then with its other buttons.
    run.SetScript([](int side, int32_t frame) -> InputWord {
        const InputWord chase = test::ChaseAndSlash(side, frame);
        if (side == 1 || !chase) return chase;
        const InputWord extras[] = {0, INPUT_X, INPUT_C, INPUT_S};
        return chase | (frame % 120 < 8 ? extras[frame / 120 % 4] : 0);
    });
    for (int32_t frame : {260, 360, 460, 560}) {
        RunTo(frame);
        Shoot("battle_" + std::to_string(frame), true);
    }
    OpenMenu();
    run.RunFrame();
    Shoot("battle_pause_menu", true);
    run.SetScript([](int side, int32_t) -> InputWord { return side == 0 ? INPUT_X : 0; });
    run.RunFrame();
    run.SetScript(nullptr);
    while (battlePaused && run.RunFrame()) {
    }
    ASSERT_FALSE(battlePaused);

    battleTimer = 1;  // time runs out within a timer unit
    while (!(bannerActive && bannerKind == BANNER_TIME_UP && bannerTimer >= 70) && run.RunFrame()) {
    }
    Shoot("battle_time_up", true);
    EXPECT_EQ(bannerKind, BANNER_TIME_UP);
    run.RunToEnd(2000);
    ASSERT_EQ(sceneNumber, SCENE_RESULT);

    // Z brings every panel in at once; the band and the hint come with them.
    ASSERT_TRUE(run.RunUntil([] { return resultScreen.phase == RESULT_PHASE_SHOW; }));
    run.scene().Tap('Z');
    ASSERT_TRUE(run.RunUntil([] {
        return resultScreen.bandAlpha >= 1.0f && resultScreen.gradeSlide >= 1.0f &&
               battleResult.previousScore == battleResult.score;  // the score has counted up
    }));
    run.scene().RunFrames(1);
    Shoot("result", true);
    // "Ｈ(ハイパー)ボタンでリプレイを保存できます。" at (260, 440), 14 pixels high.
    ExpectGlyphsNotABox(pixels, {260, 441, 560, 454});
    // The conclusion line on the band, in black too.
    ExpectGlyphsNotABox(pixels, {70, 365, 300, 385});

    ASSERT_TRUE(run.TapUntil('C', [] { return resultScreen.replaySaved == 1; }));
    run.scene().RunFrames(1);
    Shoot("result_saved", true);
    // "tobra000.rpl" (ASCII) and "に保存されました。" at (370, 440).
    ExpectGlyphsNotABox(pixels, {370, 441, 454, 454});
    ExpectGlyphsNotABox(pixels, {456, 441, 578, 454});
    // The hint is gone from the left part of its line.
    EXPECT_GT(InkIn(pixels, {262, 441, 366, 454}).light, 0.95);
}

}  // namespace
