#pragma once
// Character 7, nebu.
#include <cstdint>

// One battle frame of a side whose characterId is 7.
void UpdateNebu(int32_t side);
