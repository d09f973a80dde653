#include "game/characters/welo_drawing.h"

#include "game/characters/placeholder_fighter.h"

void DrawWelo(int32_t side) { DrawPlaceholderFighter(side); }
