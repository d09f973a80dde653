#include "game/characters/perila.h"

#include "game/characters/placeholder_fighter.h"

void UpdatePerila(int32_t side) { UpdatePlaceholderFighter(side); }
