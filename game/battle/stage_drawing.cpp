#include "game/battle/stage_drawing.h"

// Not built yet: the scenery lands with the stage drawing work.
void DrawStage(int32_t) {}
