#include "tools/datagen/screen_art.h"

#include <algorithm>
#include <cmath>

#include "tools/datagen/cast.h"
#include "tools/datagen/fighter_figures.h"

namespace datagen {
namespace {

int Part(int length, float fraction) { return static_cast<int>(static_cast<float>(length) * fraction); }

// A sky from `top` to `bottom` over the area's rows from y0 to y0 + depth.
void Sky(Canvas& c, const Area& a, Colour top, Colour bottom, float depth = 1.0f) {
    c.VerticalGradient(a.x0, a.y0, a.x1, a.y0 + Part(a.Height(), depth), top, bottom);
}

// Ground whose top edge follows a wave: `level` of the area's height down,
// rising and falling by `swell` over `waves` crests.
void Ground(Canvas& c, const Area& a, float level, float swell, float waves, float phase, Colour top, Colour bottom) {
    std::vector<std::pair<float, float>> corners;
    const float w = static_cast<float>(a.Width()), h = static_cast<float>(a.Height());
    for (int i = 0; i <= 32; ++i) {
        const float t = static_cast<float>(i) / 32.0f;
        const float y = a.y0 + h * (level - swell * std::sin(t * waves * 6.2831853f + phase));
        corners.emplace_back(a.x0 + w * t, y);
    }
    corners.emplace_back(static_cast<float>(a.x1), static_cast<float>(a.y1));
    corners.emplace_back(static_cast<float>(a.x0), static_cast<float>(a.y1));
    c.Polygon(corners, top, bottom);
}

// A row of round tree crowns along a line `level` of the area down.
void TreeRow(Canvas& c, const Area& a, float level, float size, Colour colour, uint32_t seed) {
    Dice dice(seed);
    const int r = std::max(2, Part(a.Height(), size));
    const int y = a.y0 + Part(a.Height(), level);
    c.Fill(a.x0, y, a.x1, a.y1, colour);
    for (int x = a.x0 - r; x < a.x1 + r; x += r + dice.Roll(r / 2 + 1))
        c.Disc(x, y - dice.Roll(r / 2 + 1), r, colour);
    for (int x = a.x0; x < a.x1; x += r + dice.Roll(r + 1))
        c.Disc(x, y - r / 3 - dice.Roll(r / 3 + 1), std::max(1, r / 3), Shade(colour, 1.35f), true);
}

void Sun(Canvas& c, int x, int y, int r, Colour colour) {
    c.Disc(x, y, r * 3, WithAlpha(colour, 90), true);
    c.Disc(x, y, r, colour);
}

void PaintBricks(Canvas& c, const Area& a, float from) {
    const int top = a.y0 + Part(a.Height(), from);
    const int rows = std::max(2, Part(a.Height(), 0.075f)), brick = std::max(4, Part(a.Width(), 0.16f));
    c.VerticalGradient(a.x0, top, a.x1, a.y1, {105, 100, 110, 255}, {60, 58, 70, 255});
    for (int y = top, row = 0; y < a.y1; y += rows, ++row) {
        c.Fill(a.x0, y, a.x1, y + 1, {45, 42, 55, 255});
        for (int x = a.x0 + (row % 2) * brick / 2; x < a.x1; x += brick) c.Fill(x, y, x + 1, y + rows, {45, 42, 55, 255});
    }
    // Battlements along the top.
    const int notch = std::max(3, brick / 2);
    for (int x = a.x0; x < a.x1; x += notch * 2) c.Fill(x, top - notch, x + notch, top, {95, 92, 104, 255});
}

void PaintSeal(Canvas& c, const Area& a) {
    const int cx = (a.x0 + a.x1) / 2, cy = (a.y0 + a.y1) / 2, r = std::min(a.Width(), a.Height()) * 2 / 5;
    const Colour ink{200, 60, 160, 210};
    c.Disc(cx, cy, r, WithAlpha({255, 200, 240, 255}, 120), true);
    c.Annulus(2 * cx, 2 * cy, static_cast<float>(r) * 0.93f, static_cast<float>(r), ink);
    c.Annulus(2 * cx, 2 * cy, static_cast<float>(r) * 0.70f, static_cast<float>(r) * 0.74f, ink);
    const auto star = Star(static_cast<float>(cx), static_cast<float>(cy), 6, static_cast<float>(r) * 0.68f,
                           static_cast<float>(r) * 0.35f);
    c.Polygon(star, WithAlpha(ink, 150), WithAlpha(ink, 150));
    // Blocks that float about the seal.
    Dice dice(88);
    const int side = std::max(3, a.Width() / 10);
    for (int k = 0; k < 6; ++k) {
        const int x = a.x0 + dice.Roll(std::max(1, a.Width() - side)), y = a.y0 + dice.Roll(std::max(1, a.Height() - side));
        c.Fill(x, y, x + side, y + side, {235, 150, 205, 230});
        c.Frame(x, y, x + side, y + side, 1, {255, 245, 252, 255});
    }
}

}  // namespace

int Dice::Roll(int n) {
    seed_ = seed_ * 1103515245u + 12345u;
    return n > 0 ? static_cast<int>((seed_ >> 16) % static_cast<uint32_t>(n)) : 0;
}

void PaintPortrait(Canvas& c, int characterId, const Area& a) {
    const Character& ch = CharacterOf(characterId);
    c.ClipTo(a.x0, a.y0, a.x1, a.y1);
    c.VerticalGradient(a.x0, a.y0, a.x1, a.y1, Shade(ch.colour, 1.55f), Shade(ch.colour, 0.4f));
    const float pixels = static_cast<float>(a.Height()) / 26.0f;
    const float cx = static_cast<float>(a.x0 + a.x1) / 2.0f - pixels;
    const float headY = static_cast<float>(a.y0) + static_cast<float>(a.Height()) * 0.34f;
    c.Disc(static_cast<int>(cx), static_cast<int>(headY), Part(a.Height(), 0.4f), WithAlpha(WHITE, 110), true);
    PaintFigure(c, characterId, ch.colour, {PoseKind::Shoot, 0.3f}, cx, headY + 7.5f * pixels, pixels);
    c.Unclip();
}

const char* StageName(int stage) {
    static const char* const NAMES[STAGE_COUNT] = {"OPEN SKY",  "FOREST",    "LAKE",     "HIGHLANDS",   "CLOUD SEA",
                                                   "UPPER AIR", "FORTRESS",  "STARRY NIGHT", "SEALED GATE"};
    return NAMES[std::clamp(stage, 0, STAGE_COUNT - 1)];
}

void PaintScenery(Canvas& c, int stage, const Area& a) {
    c.ClipTo(a.x0, a.y0, a.x1, a.y1);
    const int w = a.Width(), h = a.Height();
    const Area upper{a.x0, a.y0, a.x1, a.y0 + h / 2};
    switch (stage) {
    case 0:  // open sky
        Sky(c, a, {55, 105, 220, 255}, {175, 215, 250, 255});
        Sun(c, a.x0 + Part(w, 0.78f), a.y0 + Part(h, 0.2f), Part(h, 0.07f), {255, 250, 225, 255});
        PaintClouds(c, {a.x0, a.y0 + h / 3, a.x1, a.y1}, 6, Part(h, 0.07f), {255, 255, 255, 210}, 10);
        break;
    case 1:  // forest
        Sky(c, a, {85, 145, 230, 255}, {200, 225, 245, 255}, 0.7f);
        PaintClouds(c, upper, 3, Part(h, 0.06f), {255, 255, 255, 200}, 11);
        TreeRow(c, a, 0.55f, 0.07f, {40, 90, 60, 255}, 12);
        TreeRow(c, a, 0.68f, 0.09f, {50, 120, 60, 255}, 13);
        TreeRow(c, a, 0.84f, 0.11f, {70, 150, 70, 255}, 14);
        break;
    case 2: {  // lake
        Sky(c, a, {80, 140, 230, 255}, {195, 222, 250, 255}, 0.5f);
        PaintClouds(c, upper, 3, Part(h, 0.06f), {255, 255, 255, 200}, 21);
        Ground(c, a, 0.47f, 0.02f, 3, 0.5f, {45, 95, 65, 255}, {35, 75, 55, 255});
        c.VerticalGradient(a.x0, a.y0 + Part(h, 0.52f), a.x1, a.y1, {60, 130, 205, 255}, {20, 55, 135, 255});
        Dice dice(22);
        for (int k = 0; k < 24; ++k) {
            const int x = a.x0 + dice.Roll(w), y = a.y0 + Part(h, 0.55f) + dice.Roll(std::max(1, Part(h, 0.43f)));
            c.Fill(x, y, x + std::max(3, Part(w, 0.12f)), y + std::max(1, h / 100), {190, 225, 255, 140});
        }
        break;
    }
    case 3:  // highlands
        Sky(c, a, {235, 165, 105, 255}, {252, 225, 175, 255});
        Sun(c, a.x0 + Part(w, 0.25f), a.y0 + Part(h, 0.3f), Part(h, 0.08f), {255, 240, 200, 255});
        Ground(c, a, 0.55f, 0.06f, 1.5f, 0.0f, {205, 155, 115, 255}, {180, 130, 95, 255});
        Ground(c, a, 0.68f, 0.05f, 2.0f, 1.7f, {175, 125, 90, 255}, {150, 105, 75, 255});
        Ground(c, a, 0.82f, 0.05f, 1.2f, 3.1f, {145, 100, 72, 255}, {115, 80, 60, 255});
        break;
    case 4:  // cloud sea at dusk
        Sky(c, a, {80, 40, 135, 255}, {235, 135, 150, 255});
        PaintClouds(c, {a.x0, a.y0 + Part(h, 0.55f), a.x1, a.y1}, 16, Part(h, 0.08f), {255, 205, 220, 230}, 41);
        PaintClouds(c, {a.x0, a.y0, a.x1, a.y0 + Part(h, 0.25f)}, 4, Part(h, 0.05f), {200, 150, 210, 170}, 42);
        break;
    case 5:  // upper air
        Sky(c, a, {140, 185, 240, 255}, {238, 246, 255, 255});
        Sun(c, a.x0 + w / 2, a.y0 + Part(h, 0.15f), Part(h, 0.09f), {255, 255, 240, 255});
        // Thin streaks of cloud, each a row of overlapping puffs.
        for (int k = 0; k < 4; ++k) {
            const int y = a.y0 + Part(h, 0.45f + 0.13f * static_cast<float>(k)), r = std::max(2, h / 30);
            for (int x = a.x0 + (k % 2) * w / 5; x < a.x1; x += w / 2)
                for (int s = 0; s < 10; ++s) c.Disc(x + s * r * 2 / 3, y, r, {255, 255, 255, 70}, true);
        }
        break;
    case 6:  // fortress walls
        Sky(c, a, {70, 80, 115, 255}, {130, 140, 165, 255}, 0.3f);
        PaintBricks(c, a, 0.3f);
        break;
    case 7:  // starry night
        Sky(c, a, {10, 15, 50, 255}, {45, 55, 115, 255});
        PaintStars(c, a, w * h / 600 + 12, 71);
        Sun(c, a.x0 + Part(w, 0.7f), a.y0 + Part(h, 0.28f), Part(h, 0.1f), {250, 245, 210, 255});
        PaintClouds(c, {a.x0, a.y0 + Part(h, 0.6f), a.x1, a.y1}, 5, Part(h, 0.07f), {70, 80, 140, 150}, 72);
        break;
    default:  // the sealed gate
        Sky(c, a, {252, 244, 252, 255}, {240, 185, 222, 255});
        PaintSeal(c, a);
        break;
    }
    c.Unclip();
}

std::vector<std::pair<float, float>> Star(float cx, float cy, int points, float radius, float inner) {
    std::vector<std::pair<float, float>> corners;
    for (int k = 0; k < 2 * points; ++k) {
        const float angle = static_cast<float>(k) * 3.1415927f / static_cast<float>(points) - 1.5707964f;
        const float reach = k % 2 ? inner : radius;
        corners.emplace_back(cx + reach * std::cos(angle), cy + reach * std::sin(angle));
    }
    return corners;
}

void PaintClouds(Canvas& c, const Area& a, int count, int radius, Colour colour, uint32_t seed, bool wrap) {
    Dice dice(seed);
    const int w = c.Width(), h = c.Height();
    for (int i = 0; i < count; ++i) {
        const int x = a.x0 + dice.Roll(a.Width()), y = a.y0 + dice.Roll(a.Height());
        const int r = std::max(2, radius + dice.Roll(radius + 1));
        const int puffs[3][3] = {{0, 0, 10}, {-7, 2, 7}, {8, 3, 6}};  // tenths of r: dx, dy, radius
        // Copies one picture away each way when wrapped (the middle one is the cloud itself).
        const int shifts[2][3] = {{-w, 0, w}, {-h, 0, h}};
        const int first = wrap ? 0 : 1, last = wrap ? 2 : 1;
        for (int j = first; j <= last; ++j)
            for (int i = first; i <= last; ++i)
                for (const auto& p : puffs)
                    c.Disc(x + shifts[0][i] + r * p[0] / 10, y + shifts[1][j] + r * p[1] / 10, r * p[2] / 10, colour,
                           true);
    }
}

void PaintStars(Canvas& c, const Area& a, int count, uint32_t seed) {
    Dice dice(seed);
    for (int i = 0; i < count; ++i) {
        const int x = a.x0 + dice.Roll(a.Width()), y = a.y0 + dice.Roll(a.Height());
        const auto light = static_cast<uint8_t>(150 + dice.Roll(106));
        if (dice.Roll(6) == 0) c.Disc(x, y, 4, {255, 255, 230, light}, true);
        c.Fill(x, y, x + 1 + dice.Roll(2), y + 1 + dice.Roll(2), {255, 255, 240, light});
    }
}

void PaintWordPlate(Canvas& c, Lettering& l, const Area& a, const std::string& words, Colour base, int maxHeight) {
    c.VerticalGradient(a.x0, a.y0, a.x1, a.y1, Shade(base, 1.3f), Shade(base, 0.6f));
    c.Frame(a.x0, a.y0, a.x1, a.y1, 1, WithAlpha(Shade(base, 1.9f), 255));
    c.OutlinedText(l, words, a.x0 + 4, a.y0 + 2, a.x1 - 4, a.y1 - 2, maxHeight, WHITE, WithAlpha(DARK_INK, 210));
}

}  // namespace datagen
