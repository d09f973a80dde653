#include "game/characters/torvi.h"

#include "game/characters/placeholder_fighter.h"

void UpdateTorvi(int32_t side) { UpdatePlaceholderFighter(side); }
