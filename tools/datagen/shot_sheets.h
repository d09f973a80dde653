#pragma once
// The sheets a fighter's shots, beams and move effects are cut from ("item"
// and "ring" of its archive): every cell that the battle's drawing code cuts
// holds a shape that reads as what it stands for (an orb, a bolt, a beam, a
// burst, a slash, a ring), in the light of the costume's colour, on a clear
// background, so that any cell shows as energy and never as a label.
#include "tools/datagen/fighter_figures.h"

namespace datagen {

// The "item" sheet (512 x 512) of character 1 to 8.
FigurePainter ShotSheetPainter(int characterId, Colour costume);

// The "ring" sheet (512 x 512): the graze lines and rings that every
// character shares, and the characters' own cells.
FigurePainter RingSheetPainter(int characterId, Colour costume);

// The battle's "effect" sheet of the system archive, shared by both sides:
// hit flashes, blasts, sparks and the knock-out's flashes.
FigurePainter EffectSheetPainter();

}  // namespace datagen
