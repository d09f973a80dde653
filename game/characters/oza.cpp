#include "game/characters/oza.h"

#include "game/characters/placeholder_fighter.h"

void UpdateOza(int32_t side) { UpdatePlaceholderFighter(side); }
