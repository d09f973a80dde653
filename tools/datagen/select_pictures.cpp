#include "tools/datagen/select_pictures.h"

#include <cmath>

#include "game/screens/select_sheets.h"
#include "tools/datagen/cast.h"
#include "tools/datagen/fighter_figures.h"
#include "tools/datagen/screen_art.h"

namespace datagen {
namespace {

constexpr float TWO_PI = 6.2831853f;

Area AreaOf(const select_sheets::Cell& c) { return {c.left, c.top, c.left + c.width, c.top + c.height}; }

// A card for an id that names no character: a dark figure and a question mark.
void PaintUnknownFace(Canvas& c, Lettering& l, const Area& a) {
    c.ClipTo(a.x0, a.y0, a.x1, a.y1);
    c.VerticalGradient(a.x0, a.y0, a.x1, a.y1, {100, 100, 120, 255}, {40, 40, 55, 255});
    const float pixels = static_cast<float>(a.Height()) / 26.0f;
    PaintFigure(c, 1, {45, 45, 60, 255}, {PoseKind::Idle, 0.5f}, static_cast<float>(a.x0 + a.x1) / 2.0f,
                static_cast<float>(a.y0) + static_cast<float>(a.Height()) * 0.34f + 7.5f * pixels, pixels);
    c.OutlinedText(l, "?", a.x0, a.y0, a.x1, a.y1, a.Height() / 2, {230, 230, 240, 230}, WithAlpha(DARK_INK, 220), 2);
    c.Unclip();
}

// A side's label: a slanted badge in the side's colour.
void PaintSideLabel(Canvas& c, Lettering& l, const Area& a, const std::string& words, Colour colour) {
    const float x0 = static_cast<float>(a.x0) + 1, x1 = static_cast<float>(a.x1) - 1;
    const float y0 = static_cast<float>(a.y0) + 2, y1 = static_cast<float>(a.y1) - 2;
    c.Polygon({{x0 + 12, y0}, {x1, y0}, {x1 - 12, y1}, {x0, y1}}, Shade(colour, 1.3f), Shade(colour, 0.6f));
    c.Fill(static_cast<int>(x0) + 14, static_cast<int>(y0) + 2, static_cast<int>(x1) - 4, static_cast<int>(y0) + 4,
           WithAlpha(WHITE, 120));
    c.OutlinedText(l, words, a.x0 + 14, a.y0 + 2, a.x1 - 14, a.y1 - 2, 24, WHITE, WithAlpha(DARK_INK, 230), 1);
}

PoseStep StandPose(int id) { return CharacterOf(id).standPose; }

// Rings, ticks and marks about the centre of a 512 x 512 picture, for
// pictures drawn added over the scene.
void PaintRing(Canvas& c, float inner, float outer, Colour colour) { c.Annulus(512, 512, inner, outer, colour); }
void PaintTicks(Canvas& c, int count, float from, float to, int every, float longFrom, Colour colour) {
    for (int k = 0; k < count; ++k) {
        const float a = static_cast<float>(k) * TWO_PI / static_cast<float>(count);
        for (float r = k % every ? from : longFrom; r <= to; r += 1.5f)
            c.Disc(256 + static_cast<int>(std::cos(a) * r), 256 + static_cast<int>(std::sin(a) * r), 1, colour);
    }
}

}  // namespace

StripPlace NetworkStripPlace(NetworkStrip strip) {
    const select_sheets::Cell c =
        strip == NetworkStrip::Connecting ? select_sheets::kConnectingStrip : select_sheets::kDisconnectedStrip;
    return {c.left, c.top, c.width, c.height};
}

const char* NetworkStripWords(NetworkStrip strip) {
    return strip == NetworkStrip::Connecting ? "CONNECTING..." : "DISCONNECTED";
}

void PaintNetworkStrip(Canvas& c, Lettering& l, NetworkStrip strip, const std::string& words) {
    const StripPlace p = NetworkStripPlace(strip);
    // One pixel kept clear all round, so that the neighbouring strip never
    // shows at the edge of a drawn one.
    const Area a{p.left + 1, p.top + 1, p.left + p.width - 1, p.top + p.height - 1};
    const Colour base = strip == NetworkStrip::Connecting ? Colour{35, 70, 160, 240} : Colour{165, 35, 45, 245};
    c.VerticalGradient(a.x0, a.y0, a.x1, a.y1, Shade(base, 1.3f), Shade(base, 0.65f));
    c.Frame(a.x0, a.y0, a.x1, a.y1, 1, WithAlpha(Shade(base, 2.0f), 255));
    c.OutlinedText(l, words, a.x0 + 4, a.y0 + 2, a.x1 - 4, a.y1 - 2, 22, WHITE, WithAlpha(DARK_INK, 230), 1);
}

void PaintSelectFaces(Canvas& c, Lettering& l) {
    for (int id = 0; id < 12; ++id) {
        const Area cell = AreaOf(select_sheets::FaceCell(id));
        const Area inner{cell.x0 + 2, cell.y0 + 2, cell.x1 - 2, cell.y1 - 2};
        if (id < 1 || id > CHARACTER_COUNT) {
            PaintUnknownFace(c, l, inner);
            continue;
        }
        const Character& ch = CharacterOf(id);
        PaintPortrait(c, id, inner);
        c.Fill(inner.x0, inner.y1 - 26, inner.x1, inner.y1, {0, 0, 0, 140});
        c.OutlinedText(l, DisplayName(ch), inner.x0 + 2, inner.y1 - 25, inner.x1 - 2, inner.y1 - 1, 20, WHITE,
                       WithAlpha(DARK_INK, 220), 1);
        c.Frame(cell.x0 + 1, cell.y0 + 1, cell.x1 - 1, cell.y1 - 1, 2, Shade(ch.colour, 1.8f));
    }
    for (NetworkStrip strip : {NetworkStrip::Connecting, NetworkStrip::Disconnected})
        PaintNetworkStrip(c, l, strip, NetworkStripWords(strip));
    PaintSideLabel(c, l, AreaOf(select_sheets::kSideLabels[0]), "1P", {220, 60, 60, 255});
    PaintSideLabel(c, l, AreaOf(select_sheets::kSideLabels[1]), "2P", {60, 110, 230, 255});
}

void PaintSelectStands(Canvas& c, Lettering&, int sheet) {
    for (int row = 0; row < 3; ++row) {
        const int id = sheet * 3 + row;
        const Area a = AreaOf(select_sheets::StandCell(id));
        const bool character = id >= 1 && id <= CHARACTER_COUNT;
        const Colour base = character ? CharacterOf(id).colour : Colour{110, 110, 125, 255};
        c.ClipTo(a.x0, a.y0, a.x1, a.y1);
        c.HorizontalGradient(a.x0, a.y0, a.x1, a.y1, Shade(base, 0.3f), Shade(base, 1.05f));
        // Slanted streaks of light toward the figure's end.
        for (int k = 0; k < 5; ++k) {
            const float x = 230.0f + 56.0f * static_cast<float>(k);
            c.Polygon({{x + 40, static_cast<float>(a.y0)}, {x + 64, static_cast<float>(a.y0)},
                       {x + 24, static_cast<float>(a.y1)}, {x, static_cast<float>(a.y1)}},
                      {255, 255, 255, 50}, {255, 255, 255, 10});
        }
        c.Fill(a.x0, a.y0 + 3, a.x1, a.y0 + 5, {255, 255, 255, 130});
        c.Fill(a.x0, a.y1 - 5, a.x1, a.y1 - 3, {255, 255, 255, 130});
        // A band of stars that reads the same both ways: the versus screen
        // shows side 0's strip mirrored, so the strip carries no words (the
        // name plate beside it names the character).
        for (int k = 0; k < 4; ++k) {
            const float x = 60.0f + 70.0f * static_cast<float>(k), y = static_cast<float>(a.y0) + 75;
            const float size = 30.0f - 5.0f * static_cast<float>(k);
            c.Polygon(Star(x, y, 4, size, size * 0.35f), WithAlpha(Shade(base, 1.9f), 170), WithAlpha(Shade(base, 1.4f), 120));
        }
        if (character) PaintFigure(c, id, base, StandPose(id), 392, static_cast<float>(a.y0) + 98, 5.0f, true);
        c.Unclip();
    }
}

void PaintSelectStages(Canvas& c, Lettering&) {
    for (int stage = 0; stage < 12; ++stage) {
        const Area cell = AreaOf(select_sheets::StageCell(stage));
        if (stage < STAGE_COUNT) {
            PaintScenery(c, stage, {cell.x0 + 2, cell.y0 + 2, cell.x1 - 2, cell.y1 - 2});
            c.Frame(cell.x0 + 1, cell.y0 + 1, cell.x1 - 1, cell.y1 - 1, 2, {255, 255, 255, 230});
        } else {
            c.Fill(cell.x0 + 2, cell.y0 + 2, cell.x1 - 2, cell.y1 - 2, {45, 45, 58, 255});
            c.Frame(cell.x0 + 1, cell.y0 + 1, cell.x1 - 1, cell.y1 - 1, 2, {120, 120, 135, 255});
        }
    }
}

void PaintStageNames(Canvas& c, Lettering& l) {
    for (int stage = 0; stage < STAGE_COUNT; ++stage) {
        const Area cell = AreaOf(select_sheets::StageNameCell(stage));
        PaintWordPlate(c, l, {cell.x0 + 2, cell.y0 + 3, cell.x1 - 2, cell.y1 - 3}, StageName(stage),
                       {30, 45, 95, 215}, 26);
    }
    for (int d = 0; d < 10; ++d) {
        const Area cell = AreaOf(select_sheets::WinDigit(d));
        c.OutlinedText(l, std::to_string(d), cell.x0 + 1, cell.y0 + 1, cell.x1 - 1, cell.y1 - 1, 32, WHITE,
                       WithAlpha(DARK_INK, 230), 2);
    }
}

void PaintCharacterWheel(Canvas& c, Lettering&) {
    const Colour warm{255, 175, 120, 220};
    PaintRing(c, 245, 251, warm);
    PaintRing(c, 236, 238, WithAlpha(warm, 150));
    PaintTicks(c, 72, 218, 232, 6, 200, WithAlpha(warm, 200));
    for (int k = 0; k < 12; ++k) {
        const float a = static_cast<float>(k) * TWO_PI / 12.0f + TWO_PI / 24.0f;
        const float x = 256 + 180 * std::cos(a), y = 256 + 180 * std::sin(a);
        c.Polygon({{x, y - 9}, {x + 6, y}, {x, y + 9}, {x - 6, y}}, {255, 230, 200, 230}, warm);
    }
    PaintRing(c, 150, 153, WithAlpha(warm, 170));
    c.Disc(256, 256, 150, {255, 200, 160, 45}, true);
}

void PaintStageWheel(Canvas& c, Lettering&) {
    const Colour cool{140, 225, 255, 210};
    PaintRing(c, 246, 252, cool);
    PaintRing(c, 226, 228, WithAlpha(cool, 140));
    PaintTicks(c, 90, 232, 242, 10, 206, WithAlpha(cool, 190));
    // One pointer for each of the nine stages, pointing in.
    for (int k = 0; k < STAGE_COUNT; ++k) {
        const float a = static_cast<float>(k) * TWO_PI / STAGE_COUNT - TWO_PI / 4;
        const float tip = 190, base = 218, half = 0.05f;
        c.Polygon({{256 + tip * std::cos(a), 256 + tip * std::sin(a)},
                   {256 + base * std::cos(a - half), 256 + base * std::sin(a - half)},
                   {256 + base * std::cos(a + half), 256 + base * std::sin(a + half)}},
                  {220, 250, 255, 230}, cool);
    }
    c.Polygon(Star(256, 256, 9, 120, 60), {140, 225, 255, 50}, {140, 225, 255, 50});
    PaintRing(c, 118, 122, WithAlpha(cool, 160));
}

void PaintSelectSky(Canvas& c, Lettering&) {
    c.Fill(0, 0, c.Width(), c.Height(), {95, 140, 225, 255});
    PaintClouds(c, {0, 0, c.Width(), c.Height()}, 26, 26, {255, 255, 255, 190}, 4242, true);
}

void PaintStandPicture(Canvas& c, int characterId) {
    const Colour colour = CharacterOf(characterId).colour;
    c.Disc(256, 236, 210, WithAlpha(Shade(colour, 1.7f), 80), true);
    PaintFigure(c, characterId, colour, StandPose(characterId), 256, 262, 11.0f, true);
}

void PaintVersusBackground(Canvas& c, Lettering&) {
    const int w = c.Width(), h = c.Height();
    c.VerticalGradient(0, 0, w, h / 2, {150, 25, 45, 255}, {45, 10, 45, 255});
    c.VerticalGradient(0, h / 2, w, h, {45, 10, 45, 255}, {20, 45, 150, 255});
    // Rays from the middle, where the two sides meet.
    for (int k = 0; k < 24; ++k) {
        const float a0 = static_cast<float>(k) * TWO_PI / 24.0f, a1 = a0 + TWO_PI / 48.0f;
        c.Polygon({{320, 240}, {320 + 800 * std::cos(a0), 240 + 800 * std::sin(a0)}, {320 + 800 * std::cos(a1), 240 + 800 * std::sin(a1)}},
                  {255, 220, 180, 45}, {255, 220, 180, 45});
    }
    c.Disc(320, 240, 160, {255, 235, 200, 150}, true);
    c.HorizontalGradient(0, 226, w / 2, 254, {255, 240, 220, 0}, {255, 240, 220, 220});
    c.HorizontalGradient(w / 2, 226, w, 254, {255, 240, 220, 220}, {255, 240, 220, 0});
}

void PaintVersusMark(Canvas& c, Lettering& l) {
    c.OutlinedText(l, "V", 0, 0, 100, 100, 96, {255, 110, 70, 255}, DARK_INK, 3);
    c.OutlinedText(l, "S", 100, 0, 200, 100, 96, {90, 160, 255, 255}, DARK_INK, 3);
}

}  // namespace datagen
