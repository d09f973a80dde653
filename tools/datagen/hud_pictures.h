#pragma once
// The battle's HUD sheets ("system", "system_r"), the banner letters
// ("message") and the result screen's sheet ("conclusion_font"), painted
// cell by cell where the game cuts them, so every number and word reads.
#include <array>

#include "game/arena/roster.h"
#include "tools/datagen/canvas.h"

namespace datagen {

// The HUD sheet, with the characters' colours (characterId 1..8) on their
// tabs; the replay's variant has amber plates instead of blue.
void PaintSystemSheet(Canvas& c, Lettering& l, const std::array<Colour, CHARACTER_COUNT>& tabColours, bool replay);
void PaintMessageSheet(Canvas& c, Lettering& l);
void PaintConclusionSheet(Canvas& c, Lettering& l);

}  // namespace datagen
