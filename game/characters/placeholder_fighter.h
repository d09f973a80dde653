#pragma once
// Stand-in for the characters whose own routines do not exist yet: each of
// them is the same plain fighter.
#include <cstdint>
#include <vector>

#include "game/characters/character_actions.h"

// The placeholder fighter: moves with the arrows, dashes on V (boosted while V
// is held), is thrown while knocked back and then recovers, and counts its
// knock-out time in stateTimer.
void UpdatePlaceholderFighter(int32_t side);

// Its picture: the first four frame Models as an idle cycle on counter,
// facing the opponent; nothing from the 180th frame of a knock-out on.
std::vector<CharacterModelDraw> PlaceholderModelDraws(int32_t side);
void DrawPlaceholderFighter(int32_t side);
