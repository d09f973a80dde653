#pragma once
// oza's picture.
#include <cstdint>

// Draws a side whose characterId is 3.
void DrawOza(int32_t side);
