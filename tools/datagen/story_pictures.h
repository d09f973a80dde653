#pragma once
// The pictures that tell a story: the animation's title, stills and lines
// ("gf/animation.dat"), the characters' story backgrounds and pages
// ("gf/extra.dat") and the staff roll ("ed_staff" of "gf/system.dat").
#include "tools/datagen/canvas.h"

namespace datagen {

// The animation's lettering: its lines of story, dark for the white page
// beside the stills, and the closing screen's two columns.
void PaintAnimationFont(Canvas& c, Lettering& l);
// The title picture, shown added over black.
void PaintAnimationTitle(Canvas& c, Lettering& l);
// Still `entry` 0 to 10 (picture "anm01" to "anm11"): a scene on the right
// that fades into the white page on its left, where the lines are written.
void PaintAnimationStill(Canvas& c, int entry);
constexpr int ANIMATION_STILLS = 11;

// The background behind character 1 to 7's story (640 x 480).
void PaintStoryBackground(Canvas& c, int characterId);
// Page `page` of the character's story: a picture and lines of the story, in
// light on clear so that it shows added over the darkened background.
void PaintStoryPage(Canvas& c, Lettering& l, int characterId, int page);

// The credits: seven lines on the left half, a picture on the right half.
void PaintStaffRoll(Canvas& c, Lettering& l);

}  // namespace datagen
