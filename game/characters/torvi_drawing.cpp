#include "game/characters/torvi_drawing.h"

#include "game/characters/placeholder_fighter.h"

void DrawTorvi(int32_t side) { DrawPlaceholderFighter(side); }
