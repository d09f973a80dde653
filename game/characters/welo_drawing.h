#pragma once
// welo's picture: the body pose that each state shows, by stateTimer and
// counter, and in most moves her gun (drawn like the body) or her blade
// (drawn additively) over it.
#include <cstdint>
#include <vector>

#include "game/characters/character_steps.h"

// The Models that DrawWelo draws for a side this frame, in drawing order: the
// pose (frame Models 0..56), then the action Model (0..19) when the state has
// one; nothing from the 180th frame of a knock-out on.
std::vector<CharacterModelDraw> WeloModelDraws(int32_t side);
// Draws those Models.
void DrawWelo(int32_t side);
