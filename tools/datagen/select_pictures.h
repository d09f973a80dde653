#pragma once
// The pictures of the select and versus screens ("gf/system.dat"): the
// characters' faces with the side labels and the network strips, the stand
// strips, the stage pictures and names, the wheels, the sky, the large stand
// pictures, and the versus screen's background and mark.
#include <string>

#include "tools/datagen/canvas.h"

namespace datagen {

// "select_face": 128 x 128 faces, four a row by character id, the network
// select's two strips at y 400 and the sides' labels at y 430 and 460.
void PaintSelectFaces(Canvas& c, Lettering& l);

// The network select's strips, cut from y 400 of "select_face": "connecting"
// at (0, 400)-(149, 429), "disconnected" at (150, 400)-(389, 429), each
// painted with its words.
enum class NetworkStrip { Connecting, Disconnected };
struct StripPlace {
    int left, top, width, height;
};
StripPlace NetworkStripPlace(NetworkStrip strip);
void PaintNetworkStrip(Canvas& c, Lettering& l, NetworkStrip strip, const std::string& words);
// The words each strip carries.
const char* NetworkStripWords(NetworkStrip strip);

// Stand strips: three 512 x 150 rows; sheet s holds ids 3s to 3s + 2.
void PaintSelectStands(Canvas& c, Lettering& l, int sheet);
// 128 x 128 stage pictures, four a row by stage id.
void PaintSelectStages(Canvas& c, Lettering& l);
// 256 x 40 stage names down the left, and win-count digits 24 x 35 at
// x 256 + 25 d of the top row.
void PaintStageNames(Canvas& c, Lettering& l);
// The turning decoration of a character wheel, and of the stage choice.
void PaintCharacterWheel(Canvas& c, Lettering& l);
void PaintStageWheel(Canvas& c, Lettering& l);
// The select and result screens' sky sphere: clouds that tile both ways.
void PaintSelectSky(Canvas& c, Lettering& l);
// The 512 x 512 standing picture of character 1 to 8, facing left.
void PaintStandPicture(Canvas& c, int characterId);
// The versus screen's background (640 x 480) and its two letters.
void PaintVersusBackground(Canvas& c, Lettering& l);
void PaintVersusMark(Canvas& c, Lettering& l);

}  // namespace datagen
