#pragma once
// Small drawing helpers shared by the front-end screens: rectangles of sheet
// cells and of centred sprites, and colours from float alphas.
#include <cstdint>

#include "platform/gpu_device.h"

// A cell of a picture sheet as the draw calls take it: the right and bottom
// edges one pixel short of the next cell.
gpu::RECT SheetCell(int32_t left, int32_t top, int32_t width, int32_t height);

// The rectangle about (cx, cy) with half-sizes hw and hh, each edge truncated
// toward zero.
gpu::RECT CentredRect(float cx, float cy, float hw, float hh);

// An alpha 0..255 from a float by truncation, clamped to that range.
int32_t AlphaByte(float alpha);
// The colour rgb (low 24 bits) at the alpha AlphaByte(alpha).
uint32_t ColourAt(float alpha, uint32_t rgb);
inline uint32_t WhiteAt(float alpha) { return ColourAt(alpha, 0xFFFFFF); }
inline uint32_t BlackAt(float alpha) { return ColourAt(alpha, 0x000000); }
