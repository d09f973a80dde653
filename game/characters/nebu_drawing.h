#pragma once
// nebu's picture.
#include <cstdint>

// Draws a side whose characterId is 7.
void DrawNebu(int32_t side);
