#pragma once
// The computer player: the InputWord of the side the computer plays.
#include <cstdint>

// The computer player's InputWord for side; 0 for now, with no random draws.
void GenerateCpuInput(uint16_t* word, int32_t side);
