#pragma once
// The pictures of the fighters: each body pose a figure of the character's
// own shape and costume colour, facing right (the battle mirrors it), posed
// for the state that shows it; each action part the weapon or blow it stands
// for, on its larger plane about the body's centre.
#include <functional>

#include "tools/datagen/canvas.h"
#include "tools/datagen/fighter_poses.h"

namespace datagen {

using FigurePainter = std::function<void(Canvas&, Lettering&)>;

// Body pose `pose` of character 1 to 8 in the costume colour `costume`.
// Every pose also carries a small white spark at 2 pi pose / poses round the
// centre (0.35 of the width out), which tells neighbouring pictures of one
// run apart.
FigurePainter FighterPosePainter(int characterId, Colour costume, int pose);

// The figure of character 1 to 8 in the costume colour `costume` and pose
// `step`, as the screens show it (select faces, stand pictures, stories):
// its body's centre at (cx, cy) of the picture, `pixels` a world unit (a
// figure stands about 40 units tall), facing right or, mirrored, left.
void PaintFigure(Canvas& c, int characterId, Colour costume, PoseStep step, float cx, float cy, float pixels,
                 bool facingLeft = false);

// Action part `part` of character 1 to 8, painted to the scale of its plane.
FigurePainter FighterPartPainter(int characterId, Colour costume, int part);

}  // namespace datagen
