#include "game/characters/ruo_drawing.h"

#include "game/characters/placeholder_fighter.h"

void DrawRuo(int32_t side) { DrawPlaceholderFighter(side); }
