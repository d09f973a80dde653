#include "game/characters/bemo.h"

#include "game/characters/placeholder_fighter.h"

void UpdateBemo(int32_t side) { UpdatePlaceholderFighter(side); }
