#pragma once
// One sprite of the battle's objects, as the drawing pass issues it to a
// texture: which sheet, the destination and source rectangles in pixels, the
// turn, the colour and the blend. The draw functions of the object kinds
// return lists of these, change nothing and draw no random numbers, so they
// can be checked without a device.
#include <cstdint>
#include <vector>

#include "engine/core/math.h"
#include "game/arena/screen_mapping.h"

enum class SpriteSheet : int32_t {
    Item,              // the owner's "item" sheet
    Ring,              // the owner's "ring" sheet
    BattleEffect,      // the shared "effect" sheet
    BattleSystem,      // the shared "system" sheet (rings, graze mark)
    CharacterPicture,  // one of the owner's character frame pictures
};

// The numbers of the blend presets that the sprites use.
enum class SpriteBlend : int32_t { Alpha = 1, AlphaAdd = 2 };

struct ObjectSprite {
    int32_t owner;  // whose sheet
    SpriteSheet sheet;
    ScreenRect destination;
    ScreenRect source;  // left > right or top > bottom mirrors the picture
    Angle16 rotation;   // of the negated world angle: the screen's y points down
    uint32_t colour;    // ARGB
    SpriteBlend blend;
    bool turned = true;   // drawn rotated by `rotation`; else upright
    int32_t picture = 0;  // which character picture (CharacterPicture only)
};

constexpr uint32_t OPAQUE_WHITE = 0xFFFFFFFFu;

// A sprite centred on a world point, with half-extents a (along) and b
// (across) in world units, turned by a world angle in radians.
ObjectSprite WorldSprite(SpriteSheet sheet, int32_t owner, const float position[2], float a, float b,
                         ScreenRect source, float angle, uint32_t colour, SpriteBlend blend);

// Issues the sprites in order, each from its sheet at depth 0; a sprite whose
// sheet is not loaded is skipped.
void DrawObjectSprites(const std::vector<ObjectSprite>& sprites);
