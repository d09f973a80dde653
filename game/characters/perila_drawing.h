#pragma once
// perila's picture.
#include <cstdint>

// Draws a side whose characterId is 4.
void DrawPerila(int32_t side);
