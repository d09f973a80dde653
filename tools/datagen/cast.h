#pragma once
// The eight characters as the generated pictures show them: the roster's
// facts, each with the colour its pictures are painted in and the pose it
// strikes on its standing pictures.
#include <string>

#include "game/arena/roster.h"
#include "tools/datagen/canvas.h"
#include "tools/datagen/fighter_poses.h"

namespace datagen {

struct Character : RosterEntry {
    Colour colour;
    PoseStep standPose;
};

// The side of every action frame's square picture.
constexpr int ACTION_PICTURE_SIDE = 128;

// CharacterId 1 to 8, in roster order.
constexpr Character CHARACTERS[CHARACTER_COUNT] = {
    {ROSTER[0], {225, 60, 60}, {PoseKind::MoveForward, 0.5f}},  {ROSTER[1], {245, 150, 40}, {PoseKind::Shoot, 0.35f}},
    {ROSTER[2], {215, 205, 40}, {PoseKind::Shoot, 0.35f}},      {ROSTER[3], {60, 190, 80}, {PoseKind::Idle, 0.5f}},
    {ROSTER[4], {40, 190, 215}, {PoseKind::MoveForward, 0.5f}}, {ROSTER[5], {70, 95, 235}, {PoseKind::Shield, 0.5f}},
    {ROSTER[6], {165, 75, 225}, {PoseKind::Idle, 0.5f}},        {ROSTER[7], {235, 85, 175}, {PoseKind::MoveForward, 0.5f}},
};

// The character of an id 1 to 8.
inline const Character& CharacterOf(int id) { return CHARACTERS[id - 1]; }

// The name as the screens write it: in capitals.
std::string DisplayName(const Character& c);

// The colour of a character's first or second costume.
Colour CostumeColour(const Character& c, int colour);

}  // namespace datagen
