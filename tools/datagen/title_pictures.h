#pragma once
// The pictures of the start-up and the title menu ("gf/system.dat"): the two
// start-up logos, the game's logo, the menu's background and its pulsing
// light, the item sheets of the menus, the replay list and the ranking, and
// the characters' name plates.
#include "tools/datagen/canvas.h"

namespace datagen {

void PaintMakerLogo(Canvas& c, Lettering& l);   // the first start-up logo
void PaintEngineLogo(Canvas& c, Lettering& l);  // the second
void PaintTitleLogo(Canvas& c, Lettering& l);
void PaintMenuBackground(Canvas& c, Lettering& l);  // copied whole to the screen
void PaintMenuLight(Canvas& c, Lettering& l);       // stretched over it, pulsing
void PaintMenuFont(Canvas& c, Lettering& l);
void PaintReplayFont(Canvas& c, Lettering& l);
void PaintRankingFont(Canvas& c, Lettering& l);
// 128 x 40 plates, two a row: ids 1 to 8 name the characters, 11 is the
// locked plate.
void PaintNamePlates(Canvas& c, Lettering& l);

}  // namespace datagen
