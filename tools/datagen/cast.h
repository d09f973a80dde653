#pragma once
// The eight characters and nine stages as the generated pictures show them.
#include <string>

#include "tools/datagen/canvas.h"

namespace datagen {

struct Character {
    const char* name;
    int frames;
    const char* actionPrefix;  // null when the character has no action frames
    int actions;
    int actionSide;
    Colour colour;
    int storyPages;  // 0: no story
};

// CharacterId 1 to 8.
constexpr Character CHARACTERS[] = {
    {"kirune", 59, "act_sw", 21, 128, {225, 60, 60}, 28},
    {"bemo", 59, "act_np", 4, 128, {245, 150, 40}, 26},
    {"oza", 40, "act_wp", 8, 128, {215, 205, 40}, 26},
    {"perila", 53, nullptr, 0, 0, {60, 190, 80}, 19},
    {"ruo", 49, nullptr, 0, 0, {40, 190, 215}, 22},
    {"torvi", 45, nullptr, 0, 0, {70, 95, 235}, 16},
    {"nebu", 74, nullptr, 0, 0, {165, 75, 225}, 22},
    {"welo", 57, "act_gn", 20, 128, {235, 85, 175}, 0},
};
constexpr int CHARACTER_COUNT = 8;

// The character of an id 1 to 8.
inline const Character& CharacterOf(int id) { return CHARACTERS[id - 1]; }

// The name as the screens write it: in capitals.
std::string DisplayName(const Character& c);

// The colour of a character's first or second costume.
Colour CostumeColour(const Character& c, int colour);

}  // namespace datagen
