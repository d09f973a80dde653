#pragma once
// ruo's picture.
#include <cstdint>

// Draws a side whose characterId is 5.
void DrawRuo(int32_t side);
