#include "game/characters/computer_player.h"

void GenerateCpuInput(uint16_t* word, int32_t) { *word = 0; }
