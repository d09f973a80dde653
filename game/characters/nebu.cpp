#include "game/characters/nebu.h"

#include "game/characters/placeholder_fighter.h"

void UpdateNebu(int32_t side) { UpdatePlaceholderFighter(side); }
