#include "tools/datagen/stage_pictures.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>

#include "engine/graphics/image.h"
#include "tools/datagen/noise.h"
#include "tools/datagen/shapes.h"

namespace datagen {
namespace {

constexpr const char* MODEL = "gf/model.dat";

// ---- Shapes of light ------------------------------------------------------------

// The distance from a to b going either way round a loop of length `loop`.
float Around(float a, float b, float loop) {
    const float d = std::fmod(std::fabs(a - b), loop);
    return std::min(d, loop - d);
}

// How strongly a line of half-width w glows at distance d from its middle.
float LineGlow(float d, float w) { return Smooth(w * 2.5f, w * 0.5f, d); }

float SegmentDistance(float px, float py, float ax, float ay, float bx, float by) {
    const float dx = bx - ax, dy = by - ay, length = dx * dx + dy * dy;
    const float t = length > 0 ? Clamp01(((px - ax) * dx + (py - ay) * dy) / length) : 0.0f;
    return std::hypot(px - ax - t * dx, py - ay - t * dy);
}

using Painter = std::function<void(Canvas&, Lettering&)>;

// ---- Skies ---------------------------------------------------------------------

// A sky sphere's picture: u runs once round the horizon and v from the
// zenith (0) through the horizon (0.5) to the nadir (1). The sphere shows a
// small window of it at a time, so clouds are sized in its own units: a
// lattice cell is about 80 world units wide and 40 high.
struct SkyLook {
    Colour zenith, high, horizon;  // above the horizon, top down
    Colour below, deep;            // under it: a sea of cloud fading into the depth
    Colour cloud, cloudShade;      // lit tops and shaded undersides
    float cover;                   // 0..1: how much of the sky the clouds fill
    float haze;                    // 0..1: how far up from the horizon its light reaches
    uint32_t seed;
};

Colour SkyAt(const SkyLook& s, float u, float v) {
    const float n = Fractal(u, v, 32, 16, 4, s.seed);
    if (v < 0.5f) {
        const float t = v / 0.5f;
        Colour base = Mix(s.zenith, s.high, Smooth(0.0f, 1.0f - s.haze, t));
        base = Mix(base, s.horizon, Smooth(1.0f - s.haze, 1.0f, t));
        // Fair-weather clouds, thinning toward the zenith, lit from above.
        const float band = Smooth(0.05f, 0.3f, v) * Smooth(0.5f, 0.46f, v);
        const float amount = Smooth(1.0f - s.cover, 1.2f - s.cover, n) * band;
        if (amount <= 0.0f) return base;
        const float lit = Smooth(0.45f, 0.8f, Fractal(u, v + 0.012f, 32, 16, 4, s.seed));
        return Mix(base, Mix(s.cloud, s.cloudShade, lit), amount * 0.9f);
    }
    // Under the horizon a sea of cloud, lit near the horizon and darker below.
    const float t = (v - 0.5f) / 0.5f;
    Colour base = Mix(s.horizon, s.below, Smooth(0.0f, 0.25f, t));
    base = Mix(base, s.deep, Smooth(0.25f, 1.0f, t));
    const float tops = Smooth(0.45f, 0.8f, n) * (1.0f - 0.6f * t);
    return Mix(base, Mix(s.cloudShade, s.cloud, 0.6f - 0.4f * t), tops * 0.7f);
}

Painter Sky(SkyLook look) {
    return PerPixel([look](float u, float v) { return SkyAt(look, u, v); });
}

// ---- Clouds --------------------------------------------------------------------

// Thin white wisps drifting over the forest: mostly clear.
Colour WispsAt(float u, float v) {
    const float n = Fractal(u, v, 4, 4, 5, 11), density = Smooth(0.5f, 0.8f, n);
    return WithAlpha(Mix({170, 182, 206, 255}, {214, 222, 236, 255}, density), Level(0.35f * density));
}

// A sea of violet cloud under a night sky, never quite clear, its tops
// catching the light.
Colour VioletCloudAt(float u, float v) {
    const float n = Fractal(u, v, 2, 2, 6, 41), wisp = Fractal(u, v, 8, 4, 3, 42);
    const Colour colour = Mix({46, 26, 84, 255}, {138, 112, 186, 255}, Smooth(0.4f, 0.85f, 0.6f * n + 0.4f * wisp));
    return WithAlpha(colour, Level(0.24f + 0.55f * Smooth(0.35f, 0.7f, n)));
}

// Night clouds of a strip that tiles from side to side and fades out at its
// top and bottom edges; their upper edges are lit by the moon.
Colour NightCloudAt(float u, float v) {
    const float n = Fractal(u, v, 4, 3, 5, 71);
    const float profile = Smooth(0.0f, 0.35f, v) * Smooth(1.0f, 0.6f, v);
    const float density = Smooth(0.35f, 0.7f, n) * profile;
    const Colour colour = Mix({38, 48, 86, 255}, {128, 140, 182, 255}, Smooth(0.55f, 0.85f, n) * (1.1f - v));
    return WithAlpha(colour, Level(0.65f * density));
}

// ---- Ground --------------------------------------------------------------------

// Tree crowns seen from above: a jittered grid of trees of mixed sizes, each
// a leafy dome shaded from the upper left in its own green; where crowns
// overlap the taller one shows, the dark forest floor between them, and
// here and there a glade.
Colour ForestAt(float u, float v) {
    constexpr int CELLS = 12;
    const float x = u * CELLS, y = v * CELLS;
    const int cx = static_cast<int>(std::floor(x)), cy = static_cast<int>(std::floor(y));
    const float leaves = Fractal(u, v, 48, 48, 2, 14), region = Fractal(u, v, 3, 3, 3, 16);
    const float glade = Smooth(0.66f, 0.72f, region);
    float bestTop = 0.0f;
    Colour best = Mix(Mix({10, 26, 14, 255}, {22, 42, 20, 255}, leaves), {96, 118, 56, 255}, glade);
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const int gx = cx + dx, gy = cy + dy;
            const float size = (0.45f + 0.6f * Lattice(gx, gy, CELLS, CELLS, 13)) * (1.0f - 0.7f * glade);
            const float tx = static_cast<float>(gx) + 0.1f + 0.8f * Lattice(gx, gy, CELLS, CELLS, 11);
            const float ty = static_cast<float>(gy) + 0.1f + 0.8f * Lattice(gx, gy, CELLS, CELLS, 12);
            const float r = 0.7f * size * (0.9f + 0.2f * leaves), nx = (x - tx) / r, ny = (y - ty) / r;
            const float d2 = nx * nx + ny * ny;
            if (d2 >= 1.0f) continue;
            const float top = size * std::sqrt(1.0f - d2);
            if (top <= bestTop) continue;
            bestTop = top;
            const float light = Clamp01(0.5f - 0.4f * nx - 0.45f * ny + 0.6f * (leaves - 0.5f));
            const float hue = Clamp01(0.6f * Lattice(gx, gy, CELLS, CELLS, 15) + 0.6f * (region - 0.3f));
            const Colour dark = Mix({16, 48, 22, 255}, {38, 56, 16, 255}, hue);
            const Colour bright = Mix({58, 122, 50, 255}, {112, 146, 48, 255}, hue);
            best = Mix(dark, bright, light * (0.7f + 0.3f * std::sqrt(1.0f - d2)));
        }
    return best;
}

// Deep water with bright ripple lines.
Colour WaterAt(float u, float v) {
    const float depth = Fractal(u, v, 3, 3, 4, 21);
    const float ridge = 1.0f - std::fabs(2.0f * Fractal(u, v, 6, 6, 3, 22) - 1.0f);
    const Colour base = Mix({14, 54, 106, 255}, {30, 92, 146, 255}, depth);
    return Mix(base, {130, 196, 230, 255}, Smooth(0.88f, 0.98f, ridge) * 0.7f);
}

// Desert seen through its haze: sand in bold wind ripples with dune crests
// lit on one side, and dark outcrops of rock; strong enough to show through
// the stage's thick fog.
Colour DesertAt(float u, float v) {
    const float n = Fractal(u, v, 4, 4, 4, 31);
    const float grain = Fractal(u, v, 32, 32, 2, 32);
    const float ripple = std::sin(2.0f * PI * (v * 12.0f + u * 2.0f + 1.5f * n));
    const float dune = std::sin(2.0f * PI * (v * 3.0f + u + 0.8f * n));
    Colour sand = Mix({176, 134, 84, 255}, {222, 182, 124, 255}, n);
    sand = Shade(sand, 0.85f + 0.1f * ripple + 0.2f * dune + 0.1f * (grain - 0.5f));
    const float rock = Smooth(0.6f, 0.66f, Fractal(u, v, 3, 3, 4, 33));
    return Mix(sand, Shade({70, 52, 40, 255}, 0.7f + 0.6f * grain), rock);
}

// ---- Tunnel --------------------------------------------------------------------

// One panel of the tunnel's walls: u runs across the wall (8 world units),
// v along the tunnel (100 units). Seams run along its length, and a ring of
// light crosses it once, so that the rings rush past as the walls scroll.
Colour WallAt(float u, float v) {
    Colour metal = Mix({36, 40, 50, 255}, {58, 62, 76, 255}, Fractal(u, v, 2, 8, 3, 61));
    if (u < 0.06f || u > 0.94f) metal = {16, 18, 24, 255};
    if (Around(v, 0.0f, 1.0f) < 0.015f || Around(v, 0.25f, 1.0f) < 0.004f || Around(v, 0.75f, 1.0f) < 0.004f)
        metal = Shade(metal, 0.55f);
    const float d = Around(v, 0.5f, 1.0f);
    metal = Mix(metal, {40, 100, 140, 255}, 0.6f * std::exp(-(d / 0.05f) * (d / 0.05f)));
    return Mix(metal, {230, 236, 255, 255}, std::exp(-(d / 0.01f) * (d / 0.01f)));
}

// ---- Night ---------------------------------------------------------------------

// The night sky: deep blue, lightest at the horizon, faintly mottled.
Colour NightSkyAt(float u, float v) {
    const float n = Fractal(u, v, 16, 8, 4, 81);
    Colour base = v < 0.5f ? Mix({5, 8, 30, 255}, {26, 44, 108, 255}, Smooth(0.0f, 0.5f, v))
                           : Mix({26, 44, 108, 255}, {8, 12, 40, 255}, Smooth(0.5f, 0.8f, v));
    return Shade(base, 0.85f + 0.3f * n);
}

// The moon over a soft halo, on a clear picture (drawn adding light).
Colour MoonAt(float u, float v) {
    const float d = std::hypot(u - 0.5f, v - 0.5f);
    constexpr float DISC = 0.17f;
    const float halo = Smooth(0.4f, DISC, d);
    const Colour glow{44, 50, 80, Level(0.7f * halo * halo)};
    const float maria = Smooth(0.4f, 0.7f, Fractal(u, v, 6, 6, 4, 91));
    const float pits = Smooth(0.6f, 0.75f, Fractal(u, v, 28, 28, 2, 92));
    const float limb = 1.0f - 0.3f * std::pow(Clamp01(d / DISC), 4.0f);
    const Colour surface = Shade(Mix({132, 122, 88, 255}, {84, 78, 62, 255}, 0.8f * maria + 0.3f * pits), limb);
    return Mix(glow, surface, Smooth(DISC, DISC - 0.01f, d));
}

// A star: a bright point with four thin rays (drawn adding light).
Colour StarAt(float u, float v) {
    const float dx = std::fabs(u - 0.5f), dy = std::fabs(v - 0.5f), d = std::hypot(dx, dy);
    const float core = Smooth(0.2f, 0.0f, d);
    const float rays = Smooth(0.03f, 0.0f, std::min(dx, dy)) * Smooth(0.5f, 0.1f, d);
    const float light = Clamp01(core + 0.7f * rays);
    return WithAlpha(Mix({150, 175, 255, 255}, {255, 255, 255, 255}, core), Level(light));
}

// ---- Seals ---------------------------------------------------------------------

// The seal spheres (400 x 300) in world units about their middle latitude:
// x round the horizon (the whole circumference), y down from the latitude
// the battle looks at. A circle in these units shows as a circle.
constexpr float SEAL_ROUND = 2513.0f;  // 2 pi x 400
constexpr float SEAL_HEIGHT = 600.0f;  // v from the top to the bottom, near the middle
constexpr float SEAL_MIDDLE = 0.45f;

// The glow of one magic circle of radius r about (dx, dy) from its centre:
// two rings, a five-pointed star inside the inner one and dots between.
float MagicCircle(float dx, float dy, float r) {
    const float d = std::hypot(dx, dy);
    if (d > r * 1.15f) return 0.0f;
    float glow = std::max(LineGlow(std::fabs(d - r), 2.4f), LineGlow(std::fabs(d - r * 0.78f), 1.6f));
    for (int k = 0; k < 5; ++k) {
        const float a0 = PI / 2 + 2 * PI * static_cast<float>(k) / 5, a1 = a0 + 4 * PI / 5;
        const float s = SegmentDistance(dx, dy, r * 0.78f * std::cos(a0), -r * 0.78f * std::sin(a0),
                                        r * 0.78f * std::cos(a1), -r * 0.78f * std::sin(a1));
        glow = std::max(glow, 0.8f * LineGlow(s, 1.4f));
    }
    const float a = std::atan2(dy, dx), step = 2 * PI / 16;
    const float nearest = std::round(a / step) * step;
    const float dot = std::hypot(dx - r * 0.89f * std::cos(nearest), dy - r * 0.89f * std::sin(nearest));
    return std::max(glow, Smooth(r * 0.06f, r * 0.02f, dot));
}

// The nearer of the circles set round a seal sphere: `count` of them, every
// other one a little higher and larger.
float CircleRing(float x, float y, int count, float radius) {
    const float spacing = SEAL_ROUND / static_cast<float>(count);
    const int k = static_cast<int>(std::floor(x / spacing)) % count;
    const float cx = (static_cast<float>(k) + 0.5f) * spacing;
    const float r = k % 2 ? radius * 0.75f : radius, cy = k % 2 ? -22.0f : 18.0f;
    return MagicCircle(x - cx, y - cy, r);
}

// The inner sphere: a deep violet sanctum with two bands of runes round it
// and large faint seals between them.
Colour SealFieldAt(float u, float v) {
    const float x = u * SEAL_ROUND, y = (v - SEAL_MIDDLE) * SEAL_HEIGHT;
    const float n = Fractal(u, v, 48, 12, 3, 101);
    Colour c = Mix({10, 6, 26, 255}, {40, 26, 76, 255}, Smooth(300.0f, 0.0f, std::fabs(y)));
    c = Shade(c, 0.85f + 0.3f * n);
    for (float band : {-82.0f, 82.0f}) {
        const float d = std::fabs(y - band);
        if (d < 9.0f) c = Mix(c, {52, 36, 96, 255}, 0.8f);
        c = Mix(c, {100, 76, 160, 255}, LineGlow(std::fabs(d - 9.0f), 0.6f));
        if (d < 6.0f) {
            // 104 runes round the band, one or more strokes chosen per rune.
            constexpr int RUNES = 104;
            constexpr float RUNE = SEAL_ROUND / RUNES;
            const int rune = static_cast<int>(std::floor(x / RUNE));
            const float rx = x - (static_cast<float>(rune) + 0.5f) * RUNE, ry = y - band;
            float ink = LineGlow(std::fabs(rx), 0.7f) * Smooth(5.5f, 4.5f, std::fabs(ry));
            const float kind = Lattice(rune, band > 0, RUNES, 2, 103);
            if (kind < 0.5f) ink = std::max(ink, LineGlow(SegmentDistance(rx, ry, -4, -4, 4, 4), 0.6f));
            if (kind > 0.3f) ink = std::max(ink, LineGlow(std::fabs(std::hypot(rx, ry + 1) - 3.0f), 0.5f));
            c = Mix(c, {128, 98, 200, 255}, ink);
        }
    }
    return Mix(c, {80, 58, 140, 255}, 0.5f * CircleRing(x, y, 6, 62.0f));
}

// The outer sphere, drawn adding light: glowing magic circles on a clear
// picture.
Colour SealGlowAt(float u, float v) {
    const float x = u * SEAL_ROUND, y = (v - SEAL_MIDDLE) * SEAL_HEIGHT;
    const float glow = CircleRing(x, y, 10, 42.0f);
    return WithAlpha(Mix({150, 80, 230, 255}, {240, 130, 240, 255}, glow), Level(0.5f * glow));
}

// A face of the blocks ringed round the sanctum: dark stone with a bevelled
// rim and a small dim seal carved in the middle.
Colour BlockAt(float u, float v) {
    const float n = Fractal(u, v, 4, 4, 4, 111);
    Colour stone = Mix({46, 38, 70, 255}, {70, 60, 98, 255}, n);
    const float edge = std::min({u, v, 1.0f - u, 1.0f - v});
    if (edge < 0.07f) stone = Shade(stone, u + v < 1.0f ? 1.35f : 0.65f);
    else if (edge < 0.09f) stone = Shade(stone, 0.6f);
    const float dx = u - 0.5f, dy = v - 0.5f, d = std::hypot(dx, dy);
    float seal = LineGlow(std::fabs(d - 0.2f), 0.012f);
    seal = std::max(seal, LineGlow(std::fabs(std::fabs(dx) + std::fabs(dy) - 0.14f) * 0.7071f, 0.01f));
    return Mix(stone, {150, 110, 205, 255}, 0.7f * seal);
}

// ---- Catalogue -----------------------------------------------------------------

constexpr int LZ = IMAGE_PIXEL_32_LZSS;

}  // namespace

std::vector<Picture> StagePictures() {
    // Skies are 1024 wide: a battle sees a tenth of the way round at most.
    const SkyLook open{{24, 48, 116, 255}, {50, 88, 162, 255}, {118, 142, 190, 255}, {92, 104, 144, 255},
                       {42, 50, 90, 255},  {156, 168, 200, 255}, {90, 100, 140, 255}, 0.55f, 0.25f, 1};
    const SkyLook forest{{36, 70, 142, 255}, {72, 114, 182, 255}, {140, 162, 204, 255}, {92, 112, 134, 255},
                         {40, 60, 70, 255},  {186, 194, 218, 255}, {110, 120, 156, 255}, 0.45f, 0.25f, 2};
    const SkyLook pool{{20, 60, 136, 255}, {40, 98, 172, 255}, {84, 168, 220, 255}, {56, 134, 184, 255},
                       {18, 66, 116, 255}, {176, 196, 220, 255}, {96, 124, 162, 255}, 0.4f, 0.1f, 3};
    const SkyLook dusk{{22, 22, 68, 255}, {66, 50, 112, 255}, {182, 108, 84, 255}, {82, 56, 96, 255},
                       {24, 20, 50, 255}, {192, 132, 112, 255}, {76, 54, 100, 255}, 0.45f, 0.2f, 5};
    return {
        {MODEL, "00sky", 1024, 256, LZ, Sky(open)},
        {MODEL, "01sky", 1024, 256, LZ, Sky(forest)},
        {MODEL, "01clowd", 256, 256, LZ, PerPixel(WispsAt)},
        {MODEL, "01forest", 256, 256, LZ, PerPixel(ForestAt)},
        {MODEL, "02sky", 1024, 256, LZ, Sky(pool)},
        {MODEL, "02pool", 256, 256, LZ, PerPixel(WaterAt)},
        {MODEL, "03skin", 256, 256, LZ, PerPixel(DesertAt)},
        {MODEL, "04clowd", 256, 256, LZ, PerPixel(VioletCloudAt)},
        {MODEL, "05sky", 1024, 256, LZ, Sky(dusk)},
        {MODEL, "06wall", 128, 256, LZ, PerPixel(WallAt)},
        {MODEL, "07sky", 512, 256, LZ, PerPixel(NightSkyAt)},
        {MODEL, "07clowd", 256, 256, LZ, PerPixel(NightCloudAt)},
        {MODEL, "07moon", 256, 256, LZ, PerPixel(MoonAt)},
        {MODEL, "07star", 64, 64, LZ, PerPixel(StarAt)},
        {MODEL, "08seal", 1024, 512, LZ, PerPixel(SealFieldAt)},
        {MODEL, "08block", 256, 256, LZ, PerPixel(BlockAt)},
        {MODEL, "08seal2", 1024, 512, LZ, PerPixel(SealGlowAt)},
    };
}

}  // namespace datagen
