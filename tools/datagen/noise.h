#pragma once
// Tools for pictures computed pixel by pixel: smooth steps, colour blends and
// value noise that tiles, so that scenery textures repeat without seams.
#include <cstdint>
#include <functional>

#include "tools/datagen/canvas.h"

namespace datagen {

float Clamp01(float t);
// 0 below e0, 1 above e1, a smooth step between (e0 may exceed e1).
float Smooth(float e0, float e1, float x);
// a blended toward b by t (0..1), alpha included.
Colour Mix(Colour a, Colour b, float t);
// A share 0..1 as a byte 0..255 (an alpha).
uint8_t Level(float t);

// A random value 0..1 for a lattice point; the lattice wraps every `px` x
// `py` points.
float Lattice(int x, int y, int px, int py, uint32_t seed);
// Layers of value noise over the unit square, the first of `cx` x `cy`
// cells, each next one twice as fine and half as strong; tiles at the
// square's edges; 0..1.
float Fractal(float u, float v, int cx, int cy, int octaves, uint32_t seed);

// A picture computed pixel by pixel from the pixel's centre, u and v in 0..1.
using PixelRule = std::function<Colour(float u, float v)>;
std::function<void(Canvas&, Lettering&)> PerPixel(PixelRule rule);

}  // namespace datagen
