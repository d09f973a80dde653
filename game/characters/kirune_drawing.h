#pragma once
// kirune's picture: the body pose and action Model that each state shows, by
// stateTimer and counter, turned toward the aim or toward the opponent.
#include <cstdint>
#include <vector>

#include "game/characters/character_steps.h"

// The Models that DrawKirune draws for a side this frame, in drawing order:
// the pose (frame Models 0..58), then the action Model (0..20) when the state
// has one; nothing from the 180th frame of a knock-out on.
std::vector<CharacterModelDraw> KiruneModelDraws(int32_t side);
// Draws those Models.
void DrawKirune(int32_t side);
