#pragma once
// The fighters' pictures: each character chooses its pose and action Models
// for the frame, and one routine places and draws them.
#include <cstdint>
#include <vector>

#include "game/characters/character_steps.h"

// Draws the side's character by its CharacterId (1..8); other ids draw nothing.
void DrawPlayer(int32_t side);

// Sets alpha blending, then places each chosen Model at its point
// (ResetTransform, SetPosition(x, y, 0), the roll, the mirroring yaw,
// Update(0)) and draws it with its blend mode. A Model the side has not
// loaded is skipped.
void DrawCharacterModels(int32_t side, const std::vector<CharacterModelDraw>& draws);
