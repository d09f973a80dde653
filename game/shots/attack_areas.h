#pragma once
// AttackAreas: the hit zone of an attack for one battle frame. The updates of
// a frame spawn them (SpawnAttackArea, declared with the other spawners), the
// frame's hit resolution tests them, the next frame draws the few with a
// picture and ClearAttackAreas then empties the list. An area that lasts
// several frames is spawned again every frame by its owner.
#include <cstdint>
#include <vector>

#include "game/shots/sprite_draw.h"

// The response when area index touched the opposing fighter standing at
// hitPosition: the hit's Effects, particles and sound (area 221 also throws
// its owner back, 540 feeds the victim's boost gauge). The area is unchanged.
void HitAttackArea(int32_t index, const float hitPosition[2]);

// The pictures of the areas that have one, in list order, on the owner's item
// sheet.
std::vector<SpriteDraw> AttackAreaSprites();

// Turns v in place by angle: both outputs come from the old x and y.
void RotateVector2(float v[2], double angle);
