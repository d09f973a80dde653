#pragma once
// Character 5, ruo.
#include <cstdint>

// One battle frame of a side whose characterId is 5.
void UpdateRuo(int32_t side);
