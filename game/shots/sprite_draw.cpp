#include "game/shots/sprite_draw.h"

#include "game/battle/numeric_helpers.h"

SpriteDraw WorldSprite(SpriteSheet sheet, int32_t owner, const float position[2], float a, float b,
                       ScreenRect source, float angle, uint32_t colour, SpriteBlend blend) {
    return {sheet,
            owner,
            0,
            CentredRect(WorldToScreen(position[0], position[1]), ScreenLength(a), ScreenLength(b)),
            source,
            true,
            RadianToAngle(Negate(angle)),
            colour,
            blend};
}
