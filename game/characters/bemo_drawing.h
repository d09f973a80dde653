#pragma once
// bemo's picture: the body pose that each state shows, by stateTimer and
// counter, mirrored toward the aim or tilted along it, and in the lunge
// strike the lunge's own parts over the body.
#include <cstdint>
#include <vector>

#include "game/characters/character_steps.h"

// The Models that DrawBemo draws for a side this frame, in drawing order: the
// pose (frame Models 0..58), then in the lunge strike its parts (action
// Models 0..3); nothing from the 180th frame of a knock-out on.
std::vector<CharacterModelDraw> BemoModelDraws(int32_t side);
// Draws those Models.
void DrawBemo(int32_t side);
