#pragma once
// The pictures of the Shots and HeavyShots: one rotated sprite per object
// from its owner's item sheet (HeavyShot 121 from the ring sheet), sized in
// world units so that they zoom with the battle view. The functions only
// compute the draws, in drawing order; they change nothing and draw no random
// numbers.
#include <cstdint>
#include <vector>

#include "engine/core/math.h"
#include "game/battle/screen_mapping.h"

enum class SpriteSheet { Item, Ring };
// The numbers of the blend presets that the sprites use.
enum class SpriteBlend : int32_t { Alpha = 1, AlphaAdd = 2 };

struct ObjectSprite {
    int32_t owner;  // whose sheet
    SpriteSheet sheet;
    ScreenRect destination;
    ScreenRect source;  // left > right or top > bottom mirrors the picture
    Angle16 rotation;   // of the negated world angle: the screen's y points down
    uint32_t colour;
    SpriteBlend blend;
};

// Every Shot in list order (a code without a picture draws nothing).
std::vector<ObjectSprite> ShotSprites();
// Every HeavyShot whose age is not negative, in list order; a beam gives a
// long faint layer and, while young enough, a bright core.
std::vector<ObjectSprite> HeavyShotSprites();
