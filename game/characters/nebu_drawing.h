#pragma once
// nebu's picture: one body pose a frame (no action Models), chosen by state,
// stateTimer and counter, some poses looping for as long as their move
// lasts, turned toward the aim, mirrored, or only faced toward the opponent.
#include <cstdint>
#include <vector>

#include "game/characters/character_steps.h"

// The pose Model (frame Models 0..73) that DrawNebu draws for a side this
// frame; nothing from the 180th frame of a knock-out on.
std::vector<CharacterModelDraw> NebuModelDraws(int32_t side);
// Draws it.
void DrawNebu(int32_t side);
