#pragma once
// Character 3, oza.
#include <cstdint>

// One battle frame of a side whose characterId is 3.
void UpdateOza(int32_t side);
