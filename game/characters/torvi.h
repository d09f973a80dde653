#pragma once
// Character 6, torvi.
#include <cstdint>

// One battle frame of a side whose characterId is 6.
void UpdateTorvi(int32_t side);
