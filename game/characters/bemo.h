#pragma once
// Character 2, bemo.
#include <cstdint>

// One battle frame of a side whose characterId is 2.
void UpdateBemo(int32_t side);
