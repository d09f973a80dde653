#pragma once
// welo's picture.
#include <cstdint>

// Draws a side whose characterId is 8.
void DrawWelo(int32_t side);
