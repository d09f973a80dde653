#pragma once
// perila's picture: one body pose per frame, chosen by state, stateTimer,
// counter and arrows, turned along the aim, mirrored only, or facing the
// opponent. Her satellites are PlayerObjects and are drawn with them.
#include <cstdint>
#include <vector>

#include "game/characters/character_steps.h"

// The Model that DrawPerila draws for a side this frame (a pose of the frame
// Models 0..52); none from the 180th frame of a knock-out on.
std::vector<CharacterModelDraw> PerilaModelDraws(int32_t side);
// Draws it.
void DrawPerila(int32_t side);
