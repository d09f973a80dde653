#pragma once
// bemo's picture.
#include <cstdint>

// Draws a side whose characterId is 2.
void DrawBemo(int32_t side);
