#pragma once
// Pieces that several screens' pictures share: a character's portrait, the
// nine stages' scenery at any size, clouds and stars, and plates of words.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tools/datagen/canvas.h"

namespace datagen {

constexpr Colour CLEAR{0, 0, 0, 0};
constexpr Colour WHITE{255, 255, 255, 255};
constexpr Colour BLACK{0, 0, 0, 255};
constexpr Colour DARK_INK{20, 16, 30, 255};

// An area of a picture: [x0, x1) x [y0, y1).
struct Area {
    int x0, y0, x1, y1;
    int Width() const { return x1 - x0; }
    int Height() const { return y1 - y0; }
};

// Numbers that are the same on every run: a linear congruential sequence.
class Dice {
public:
    explicit Dice(uint32_t seed) : seed_(seed) {}
    // 0 to n - 1.
    int Roll(int n);

private:
    uint32_t seed_;
};

// Character 1 to 8 from the waist up in the area, looking right, on a backdrop
// in its own colour.
void PaintPortrait(Canvas& c, int characterId, const Area& area);

// Stage 0 to 8 as a picture filling the area: its sky and its ground, forest,
// water, hills, clouds, walls, night or seal.
void PaintScenery(Canvas& c, int stage, const Area& area);
constexpr int STAGE_COUNT = 9;
// The stage's name as the select screen writes it.
const char* StageName(int stage);

// The corners of a star about (cx, cy): `points` tips at `radius`, the first
// straight up, with corners at `inner` between them.
std::vector<std::pair<float, float>> Star(float cx, float cy, int points, float radius, float inner);

// `count` soft clouds in the area, their radii from `radius` to twice it;
// with `wrap` they are repeated across the picture's edges, so that the
// picture tiles.
void PaintClouds(Canvas& c, const Area& area, int count, int radius, Colour colour, uint32_t seed, bool wrap = false);
// `count` small stars in the area.
void PaintStars(Canvas& c, const Area& area, int count, uint32_t seed);

// A shaded panel with a light rim and its words in white with a dark rim.
void PaintWordPlate(Canvas& c, Lettering& l, const Area& area, const std::string& words, Colour base, int maxHeight);

}  // namespace datagen
