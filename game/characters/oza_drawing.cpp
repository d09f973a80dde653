#include "game/characters/oza_drawing.h"

#include "game/characters/placeholder_fighter.h"

void DrawOza(int32_t side) { DrawPlaceholderFighter(side); }
