#pragma once
// AttackAreas: the hit zone of an attack for one battle frame. The updates of
// a frame spawn them (SpawnAttackArea, declared with the other spawners), the
// frame's hit resolution tests them, the next frame draws the few with a
// picture and ClearAttackAreas then empties the list. An area that lasts
// several frames is spawned again every frame by its owner. Its response to a
// hit, HitAttackArea, is declared with the other responses: the hit's
// Effects, particles and sound (221 also throws its owner back, 540 feeds the
// victim's boost gauge); it leaves the area unchanged.
#include <vector>

#include "game/shots/object_sprite.h"

// The pictures of the areas that have one, in list order, on the owner's item
// sheet.
std::vector<ObjectSprite> AttackAreaSprites();
// Issues those pictures.
void DrawAttackAreas();
