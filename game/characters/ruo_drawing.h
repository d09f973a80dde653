#pragma once
// ruo's picture: one body pose (frame Models 0..48) by state, stateTimer and
// counter, turned toward the aim, or in free flight only mirrored toward the
// opponent. Ruo has no action Models.
#include <cstdint>
#include <vector>

#include "game/characters/character_steps.h"

// The Models that DrawRuo draws for a side this frame: the pose, or nothing
// from the 180th frame of a knock-out on.
std::vector<CharacterModelDraw> RuoModelDraws(int32_t side);
// Draws those Models.
void DrawRuo(int32_t side);
