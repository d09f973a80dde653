#pragma once
// torvi's picture: one body pose per frame, chosen by state, stateTimer,
// counter and arrows, turned along the aim, mirrored only, or facing the
// opponent. torvi has no weapon Models.
#include <cstdint>
#include <vector>

#include "game/characters/character_steps.h"

// The Model that DrawTorvi draws for a side this frame (a pose of the frame
// Models 0..44); none from the 180th frame of a knock-out on.
std::vector<CharacterModelDraw> TorviModelDraws(int32_t side);
// Draws it.
void DrawTorvi(int32_t side);
