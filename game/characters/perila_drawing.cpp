#include "game/characters/perila_drawing.h"

#include "game/characters/placeholder_fighter.h"

void DrawPerila(int32_t side) { DrawPlaceholderFighter(side); }
