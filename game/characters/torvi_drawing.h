#pragma once
// torvi's picture.
#include <cstdint>

// Draws a side whose characterId is 6.
void DrawTorvi(int32_t side);
