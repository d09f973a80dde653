#pragma once
// The pictures of the Shots and HeavyShots: one rotated sprite per object
// from its owner's item sheet (HeavyShot 121 from the ring sheet), sized in
// world units so that they zoom with the battle view. The functions only
// compute the draws, in drawing order; they change nothing and draw no random
// numbers.
#include <cstdint>
#include <vector>

#include "game/shots/object_sprite.h"

// Every Shot in list order (a code without a picture draws nothing).
std::vector<ObjectSprite> ShotSprites();
// Every HeavyShot whose age is not negative, in list order; a beam gives a
// long faint layer and, while young enough, a bright core.
std::vector<ObjectSprite> HeavyShotSprites();
// Issue those pictures.
void DrawShots();
void DrawHeavyShots();
