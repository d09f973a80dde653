#pragma once
// One sprite draw of the battle's objects, as the drawing pass issues it to a
// texture: which sheet, the destination and source rectangles in pixels, the
// turn, the colour and the blend. The draw functions of the object kinds
// return lists of these and draw no random numbers, so they can be checked
// without a device.
#include <cstdint>

#include "engine/core/math.h"
#include "game/battle/screen_mapping.h"

enum class SpriteSheet : int32_t {
    BattleEffect,      // the shared "effect" sheet
    BattleSystem,      // the shared "system" sheet (HUD, rings, graze mark)
    PlayerItem,        // the owner's "item" sheet
    PlayerRing,        // the owner's "ring" sheet
    CharacterPicture,  // one of the owner's character frame pictures
};

// The values of the engine's blend presets of the same names.
enum class SpriteBlend : int32_t { Alpha = 1, AlphaAdd = 2 };

struct SpriteDraw {
    SpriteSheet sheet;
    int32_t owner;    // side whose item, ring or character sheets are used
    int32_t picture;  // which character picture (CharacterPicture only)
    ScreenRect destination;
    ScreenRect source;  // a reversed edge pair mirrors the picture
    bool turned;        // drawn rotated by `rotation`; else upright
    Angle16 rotation;
    uint32_t colour;  // ARGB
    SpriteBlend blend;
};

constexpr uint32_t OPAQUE_WHITE = 0xFFFFFFFFu;

// A sprite centred on a world point, with half-extents a (along) and b
// (across) in world units, turned by a world angle in radians (negated, since
// the screen's y axis points down).
SpriteDraw WorldSprite(SpriteSheet sheet, int32_t owner, const float position[2], float a, float b,
                       ScreenRect source, float angle, uint32_t colour, SpriteBlend blend);
