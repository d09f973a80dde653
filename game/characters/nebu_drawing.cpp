#include "game/characters/nebu_drawing.h"

#include "game/characters/placeholder_fighter.h"

void DrawNebu(int32_t side) { DrawPlaceholderFighter(side); }
