#pragma once
// Character 8, welo.
#include <cstdint>

// One battle frame of a side whose characterId is 8.
void UpdateWelo(int32_t side);
