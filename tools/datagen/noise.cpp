#include "tools/datagen/noise.h"

#include <algorithm>
#include <cmath>

namespace datagen {
namespace {

// Value noise of one layer.
float ValueNoise(float u, float v, int cx, int cy, uint32_t seed) {
    const float x = u * static_cast<float>(cx), y = v * static_cast<float>(cy);
    const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    const float fx = Smooth(0, 1, x - static_cast<float>(x0)), fy = Smooth(0, 1, y - static_cast<float>(y0));
    const float top = Lattice(x0, y0, cx, cy, seed) * (1 - fx) + Lattice(x0 + 1, y0, cx, cy, seed) * fx;
    const float bottom = Lattice(x0, y0 + 1, cx, cy, seed) * (1 - fx) + Lattice(x0 + 1, y0 + 1, cx, cy, seed) * fx;
    return top * (1 - fy) + bottom * fy;
}

}  // namespace

float Clamp01(float t) { return std::clamp(t, 0.0f, 1.0f); }

float Smooth(float e0, float e1, float x) {
    const float t = Clamp01((x - e0) / (e1 - e0));
    return t * t * (3.0f - 2.0f * t);
}

Colour Mix(Colour a, Colour b, float t) {
    t = Clamp01(t);
    auto one = [t](uint8_t x, uint8_t y) { return static_cast<uint8_t>(std::lround(x + (y - x) * t)); };
    return {one(a.r, b.r), one(a.g, b.g), one(a.b, b.b), one(a.a, b.a)};
}

uint8_t Level(float t) { return static_cast<uint8_t>(std::lround(255.0f * Clamp01(t))); }

float Lattice(int x, int y, int px, int py, uint32_t seed) {
    x = ((x % px) + px) % px;
    y = ((y % py) + py) % py;
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return static_cast<float>(h & 0xFFFFFF) / 16777216.0f;
}

float Fractal(float u, float v, int cx, int cy, int octaves, uint32_t seed) {
    float sum = 0, weight = 1, total = 0;
    for (int k = 0; k < octaves; ++k) {
        sum += weight * ValueNoise(u, v, cx << k, cy << k, seed + static_cast<uint32_t>(k) * 101u);
        total += weight;
        weight *= 0.5f;
    }
    return sum / total;
}

std::function<void(Canvas&, Lettering&)> PerPixel(PixelRule rule) {
    return [rule = std::move(rule)](Canvas& c, Lettering&) {
        const float w = static_cast<float>(c.Width()), h = static_cast<float>(c.Height());
        for (int y = 0; y < c.Height(); ++y)
            for (int x = 0; x < c.Width(); ++x)
                c.Put(x, y, rule((static_cast<float>(x) + 0.5f) / w, (static_cast<float>(y) + 0.5f) / h));
    };
}

}  // namespace datagen
