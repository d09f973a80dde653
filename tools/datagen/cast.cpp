#include "tools/datagen/cast.h"

#include <cctype>

namespace datagen {

std::string DisplayName(const Character& c) {
    std::string name = c.name;
    for (char& ch : name) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return name;
}

Colour CostumeColour(const Character& c, int colour) { return colour == 0 ? c.colour : Shade(c.colour, 0.55f); }

}  // namespace datagen
