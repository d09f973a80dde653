#include "game/characters/ruo.h"

#include "game/characters/placeholder_fighter.h"

void UpdateRuo(int32_t side) { UpdatePlaceholderFighter(side); }
