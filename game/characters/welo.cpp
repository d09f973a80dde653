#include "game/characters/welo.h"

#include "game/characters/placeholder_fighter.h"

void UpdateWelo(int32_t side) { UpdatePlaceholderFighter(side); }
