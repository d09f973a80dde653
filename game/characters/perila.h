#pragma once
// Character 4, perila.
#include <cstdint>

// One battle frame of a side whose characterId is 4.
void UpdatePerila(int32_t side);
