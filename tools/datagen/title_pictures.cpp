#include "tools/datagen/title_pictures.h"

#include <cmath>
#include <string>

#include "game/screens/title_sheets.h"
#include "tools/datagen/cast.h"
#include "tools/datagen/fighter_figures.h"
#include "tools/datagen/screen_art.h"

namespace datagen {
namespace {

using title_sheets::Cell;

constexpr Colour GOLD{255, 215, 110, 255};
constexpr Colour EMBER{90, 38, 8, 255};

Area AreaOf(const Cell& cell) { return {cell.left, cell.top, cell.right, cell.bottom}; }

// A menu row: a dark panel fading to the right, an accent bar on its left and
// the item's word.
void PaintMenuItem(Canvas& c, Lettering& l, const Cell& cell, const std::string& word, Colour accent) {
    c.HorizontalGradient(cell.left, cell.top + 1, cell.right, cell.bottom - 1, {15, 25, 55, 250}, {15, 25, 55, 215});
    c.Fill(cell.left, cell.top + 1, cell.left + 6, cell.bottom - 1, accent);
    c.Fill(cell.left + 6, cell.top + 1, cell.right, cell.top + 2, WithAlpha(accent, 170));
    c.Fill(cell.left + 6, cell.bottom - 2, cell.right, cell.bottom - 1, WithAlpha(accent, 110));
    c.OutlinedText(l, word, cell.left + 10, cell.top + 3, cell.right - 4, cell.bottom - 3, 22, WHITE,
                   WithAlpha(DARK_INK, 220));
}

// A bare glyph of a sheet on a clear background, outlined.
void PaintGlyph(Canvas& c, Lettering& l, const Cell& cell, const std::string& text, Colour colour) {
    c.OutlinedText(l, text, cell.left, cell.top, cell.right, cell.bottom, cell.bottom - cell.top - 2, colour,
                   WithAlpha(DARK_INK, 200));
}

void PaintFramedPortrait(Canvas& c, int id, const Cell& cell) {
    PaintPortrait(c, id, {cell.left + 2, cell.top + 2, cell.right - 2, cell.bottom - 2});
    c.Frame(cell.left + 1, cell.top + 1, cell.right - 1, cell.bottom - 1, 1, Shade(CharacterOf(id).colour, 1.8f));
}

// A padlock: a shackle over a body with a keyhole.
void PaintPadlock(Canvas& c, int cx, int cy, int size) {
    const Colour metal{200, 200, 215, 255};
    c.Annulus(2 * cx, 2 * (cy - size / 3), static_cast<float>(size) * 0.28f, static_cast<float>(size) * 0.42f, metal);
    c.Fill(cx - size / 2, cy - size / 3, cx + size / 2, cy + size / 2, metal);
    c.Disc(cx, cy + size / 20, std::max(1, size / 10), {40, 40, 50, 255});
    c.Fill(cx - std::max(1, size / 20), cy + size / 20, cx + std::max(1, size / 20) + 1, cy + size / 3, {40, 40, 50, 255});
}

}  // namespace

void PaintMakerLogo(Canvas& c, Lettering& l) {
    c.VerticalGradient(0, 0, c.Width(), c.Height(), {12, 14, 40, 255}, {34, 20, 62, 255});
    // A bird of two swept wings over a glow.
    c.Disc(320, 170, 120, {255, 200, 120, 60}, true);
    c.Polygon({{320, 190}, {230, 110}, {175, 100}, {250, 160}, {300, 205}}, GOLD, {215, 130, 45, 255});
    c.Polygon({{320, 190}, {410, 110}, {465, 100}, {390, 160}, {340, 205}}, GOLD, {215, 130, 45, 255});
    c.Disc(320, 185, 16, {255, 240, 200, 255});
    c.OutlinedText(l, "Tessaphoro", 120, 240, 520, 310, 60, {245, 240, 255, 255}, {60, 40, 110, 255}, 2);
    c.CentredText(l, "presents", 220, 318, 420, 344, 22, {170, 165, 200, 255});
}

void PaintEngineLogo(Canvas& c, Lettering& l) {
    c.VerticalGradient(0, 0, c.Width(), c.Height(), {238, 240, 246, 255}, {205, 212, 226, 255});
    const Colour blue{45, 85, 170, 255};
    c.Annulus(2 * 320, 2 * 180, 52, 64, blue);
    for (int k = 0; k < 8; ++k) {
        const float a = static_cast<float>(k) * 0.7853982f;
        for (int r = 26; r < 50; r += 2)
            c.Disc(320 + static_cast<int>(std::cos(a) * static_cast<float>(r)),
                   180 + static_cast<int>(std::sin(a) * static_cast<float>(r)), 3, blue);
    }
    c.Disc(320, 180, 18, {240, 170, 60, 255});
    c.CentredText(l, "powered by", 220, 258, 420, 282, 20, {90, 100, 130, 255});
    c.CentredText(l, "KARO ENGINE", 140, 286, 500, 340, 48, {40, 50, 85, 255});
}

void PaintTitleLogo(Canvas& c, Lettering& l) {
    c.Disc(256, 128, 250, {255, 190, 90, 70}, true);
    // A six-sided banner with a dark rim, gold at the top to amber below.
    c.Polygon({{36, 50}, {476, 50}, {508, 128}, {476, 206}, {36, 206}, {4, 128}}, EMBER, EMBER);
    c.Polygon({{42, 56}, {470, 56}, {500, 128}, {470, 200}, {42, 200}, {12, 128}}, {255, 208, 95, 255},
              {212, 105, 22, 255});
    c.Fill(48, 62, 464, 64, {255, 240, 180, 255});
    c.Fill(48, 192, 464, 194, {150, 70, 15, 255});
    for (float x : {28.0f, 484.0f}) c.Polygon(Star(x, 128, 4, 14, 5), {255, 240, 190, 255}, {255, 200, 100, 255});
    c.OutlinedText(l, "TOBRAZEL", 44, 66, 468, 184, 100, {255, 238, 170, 255}, EMBER, 3);
    c.OutlinedText(l, "AERIAL SHOOTING DUEL", 100, 214, 412, 242, 22, {255, 222, 140, 255}, EMBER, 2);
}

void PaintMenuBackground(Canvas& c, Lettering&) {
    const int w = c.Width(), h = c.Height();
    c.VerticalGradient(0, 0, w, h * 5 / 8, {22, 40, 105, 255}, {110, 150, 215, 255});
    c.VerticalGradient(0, h * 5 / 8, w, h, {110, 150, 215, 255}, {185, 200, 232, 255});
    c.Disc(500, 120, 190, {255, 245, 215, 70}, true);
    c.Disc(500, 120, 46, {255, 250, 235, 255}, true);
    // Far islands floating over the cloud sea.
    struct Island {
        float x, y, s;
    };
    const Colour rock{95, 110, 160, 255}, grass{130, 170, 160, 255};
    for (const auto& [x, y, s] : {Island{110, 250, 0.9f}, Island{300, 292, 0.5f}, Island{585, 232, 0.7f}}) {
        c.Polygon({{x - 70 * s, y}, {x + 75 * s, y}, {x + 40 * s, y + 40 * s}, {x + 5 * s, y + 95 * s},
                   {x - 40 * s, y + 38 * s}},
                  rock, Shade(rock, 0.7f));
        c.Polygon({{x - 72 * s, y + 1}, {x - 48 * s, y - 10 * s}, {x + 22 * s, y - 13 * s}, {x + 77 * s, y + 1}}, grass, grass);
    }
    PaintClouds(c, {0, h * 3 / 4, w, h}, 34, 34, {240, 244, 252, 235}, 2005);
    PaintClouds(c, {0, h * 5 / 8, w, h * 3 / 4}, 10, 22, {225, 232, 248, 170}, 2006);
}

void PaintMenuLight(Canvas& c, Lettering&) {
    // Rays of light fanning out from the upper right.
    const float ox = 470, oy = -30;
    for (int k = 0; k < 9; ++k) {
        const float a0 = 1.75f + 0.14f * static_cast<float>(k), a1 = a0 + 0.06f;
        c.Polygon({{ox, oy},
                   {ox + 900 * std::cos(a0), oy + 900 * std::sin(a0)},
                   {ox + 900 * std::cos(a1), oy + 900 * std::sin(a1)}},
                  {255, 250, 230, 210}, {255, 250, 230, 0});
    }
    c.Disc(static_cast<int>(ox), 0, 160, {255, 250, 235, 220}, true);
    PaintStars(c, {0, 0, c.Width(), c.Height()}, 40, 7);
}

void PaintMenuFont(Canvas& c, Lettering& l) {
    using namespace title_sheets;
    const char* main[] = {"ARCADE", "VERSUS", "REPLAY", "RANKING", "QUIT", "EXTRA"};
    const char* versus[] = {"1P VS 2P", "1P VS CPU", "NETWORK", "PRACTICE"};
    const char* difficulties[] = {"EASY", "NORMAL", "HARD"};
    const Colour difficultyColours[] = {{90, 200, 110, 255}, {250, 190, 60, 255}, {240, 70, 70, 255}};
    for (int k = 0; k < 6; ++k) PaintMenuItem(c, l, MainItem(k), main[k], {90, 170, 255, 255});
    for (int k = 0; k < 4; ++k) PaintMenuItem(c, l, VersusItem(k), versus[k], {255, 110, 100, 255});
    for (int k = 0; k < 3; ++k) PaintMenuItem(c, l, DifficultyItem(k), difficulties[k], difficultyColours[k]);
    for (int x = kItemGlow.left; x < kItemGlow.right; x += 6)
        c.Disc(x, (kItemGlow.top + kItemGlow.bottom) / 2, 14, {255, 240, 160, 170}, true);
    PaintWordPlate(c, l, AreaOf(kNoReplaysNotice), "NO REPLAYS SAVED", {40, 50, 90, 225}, 30);
}

void PaintReplayFont(Canvas& c, Lettering& l) {
    using namespace title_sheets;
    for (int d = 0; d < 10; ++d) PaintGlyph(c, l, ReplayDigit(d), std::to_string(d), WHITE);
    PaintGlyph(c, l, kReplaySlash, "/", WHITE);
    PaintGlyph(c, l, kReplayColon, ":", WHITE);
    for (int id = 1; id <= CHARACTER_COUNT; ++id) PaintFramedPortrait(c, id, ReplayFace(id));
    PaintWordPlate(c, l, AreaOf(kReplayWinner), "WIN", {200, 150, 30, 255}, 18);
    PaintGlyph(c, l, kReplayVersus, "VS", {255, 130, 120, 255});
    const char* modes[] = {"PRACTICE", "1P VS 2P", "VS CPU", "NETWORK", "ARCADE"};
    for (int m = 0; m < 5; ++m) PaintWordPlate(c, l, AreaOf(ReplayMode(m)), modes[m], {45, 80, 150, 255}, 18);
    const char* difficulties[] = {"EASY", "NORMAL", "HARD"};
    for (int d = 0; d < 3; ++d) PaintWordPlate(c, l, AreaOf(ReplayDifficulty(d)), difficulties[d], {55, 130, 70, 255}, 18);
    PaintGlyph(c, l, kReplayDamageLabel, "DMG", {255, 200, 120, 255});
    PaintGlyph(c, l, kReplayHitsLabel, "HIT", {255, 200, 120, 255});
}

void PaintRankingFont(Canvas& c, Lettering& l) {
    using namespace title_sheets;
    for (int p = 0; p < 10; ++p) {
        const char* suffix = p == 0 ? "ST" : p == 1 ? "ND" : p == 2 ? "RD" : "TH";
        PaintGlyph(c, l, RankingPlace(p), std::to_string(p + 1) + suffix, p < 3 ? GOLD : Colour{220, 225, 240, 255});
    }
    for (int id = 1; id <= CHARACTER_COUNT; ++id) PaintFramedPortrait(c, id, RankingFace(id));
    for (int d = 0; d < 10; ++d) PaintGlyph(c, l, RankingDigit(d), std::to_string(d), WHITE);
    const char* tabs[] = {"EASY", "NORMAL", "HARD"};
    const Colour tabColours[] = {{55, 140, 75, 255}, {180, 120, 30, 255}, {170, 45, 50, 255}};
    for (int d = 0; d < 3; ++d) PaintWordPlate(c, l, AreaOf(RankingTab(d)), tabs[d], tabColours[d], 24);
    PaintWordPlate(c, l, AreaOf(kRankingHeading), "RANKING", {120, 60, 150, 255}, 24);
    PaintWordPlate(c, l, AreaOf(kNameEntryHeading), "ENTER YOUR NAME", {120, 60, 150, 255}, 24);
    for (int s = 0; s < kSymbolCount; ++s) PaintGlyph(c, l, RankingSymbol(s), std::string(1, kSymbolText[s]), WHITE);
}

void PaintNamePlates(Canvas& c, Lettering& l) {
    for (int id = 0; id < 12; ++id) {
        const Cell plate = title_sheets::NamePlate(id);
        const Area a{plate.left + 2, plate.top + 2, plate.right - 2, plate.bottom - 2};
        const bool character = id >= 1 && id <= CHARACTER_COUNT;
        const Colour base = character ? CharacterOf(id).colour : Colour{95, 95, 110, 255};
        c.VerticalGradient(a.x0, a.y0, a.x1, a.y1, Shade(base, 1.15f), Shade(base, 0.45f));
        c.Fill(a.x0, a.y0, a.x1, a.y0 + (a.Height() / 3), WithAlpha(WHITE, 45));
        c.Frame(a.x0, a.y0, a.x1, a.y1, 2, Shade(base, 1.8f));
        if (character) {
            c.Polygon(Star(static_cast<float>(a.x0 + 13), static_cast<float>(a.y0 + a.Height() / 2), 4, 8, 3),
                      Shade(base, 1.9f), Shade(base, 1.5f));
            c.OutlinedText(l, DisplayName(CharacterOf(id)), a.x0 + 24, a.y0 + 3, a.x1 - 4, a.y1 - 3, 26, WHITE,
                           WithAlpha(DARK_INK, 220), 1);
        } else if (id == title_sheets::kLockedPlate) {
            PaintPadlock(c, a.x0 + 16, a.y0 + a.Height() / 2, 18);
            c.OutlinedText(l, "LOCKED", a.x0 + 28, a.y0 + 3, a.x1 - 4, a.y1 - 3, 24, {215, 215, 225, 255},
                           WithAlpha(DARK_INK, 220), 1);
        }
    }
}

}  // namespace datagen
