#pragma once
// PlayerObjects: the small bodies in a side's own list (its PlayerRecord's
// `objects`): character 4's seven satellites, which circle their owner and
// carry out its attacks when its code rewrites their type; character 5's
// launchers; character 7's circling objects. Their type codes are a numbering
// of their own. An object's index in the list is its slot in the formations.
#include <cstdint>
#include <vector>

#include "game/shots/object_sprite.h"

enum PlayerObjectType : int32_t {
    SATELLITE_CIRCLING = 300,  // orders 301..306, 320..323, 330, 331, 340, 350, 360 return to it
    LAUNCHER_LONG_WAIT = 410,  // 410 -> 411 -> 412, erased at the end of 412
    LAUNCHER_SHORT_WAIT = 420, // 420 -> 421 -> 412
    LAUNCHER_FADING = 412,
    ORBITER = 600,
};

// The slot angle step of the satellite formation, 2 pi / 7; a slot's angle
// (index times the step) is taken in double.
constexpr double SLOT_ANGLE = 0.8975979;

// Runs every object's rule of the side's list once, in list order; a rule may
// fire Shots, HeavyShots, AttackAreas and Effects. Codes without a rule are
// skipped.
void UpdatePlayerObjects(int32_t side);

// Removes one object; the later ones move down (and so change their slots).
void ErasePlayerObject(int32_t side, int32_t index);

// The pictures of the side's objects, in list order.
std::vector<ObjectSprite> PlayerObjectSprites(int32_t side);
// Issues those pictures.
void DrawPlayerObjects(int32_t side);
