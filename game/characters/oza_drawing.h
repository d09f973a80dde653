#pragma once
// oza's picture: the body pose that each state shows, by stateTimer and
// counter, with the weapon parts of the shooting moves drawn before and after
// the body, turned toward the aim or toward the opponent.
#include <cstdint>
#include <vector>

#include "game/characters/character_steps.h"

// The Models that DrawOza draws for a side this frame, in drawing order:
// body poses are frame Models 0..39, weapon parts action Models 0..7; nothing
// from the 180th frame of a knock-out on.
std::vector<CharacterModelDraw> OzaModelDraws(int32_t side);
// Draws those Models.
void DrawOza(int32_t side);
