#include "game/characters/bemo_drawing.h"

#include "game/characters/placeholder_fighter.h"

void DrawBemo(int32_t side) { DrawPlaceholderFighter(side); }
