#include "game/shots/object_sprite.h"

#include "game/battle/numeric_helpers.h"

ObjectSprite WorldSprite(SpriteSheet sheet, int32_t owner, const float position[2], float a, float b,
                         ScreenRect source, float angle, uint32_t colour, SpriteBlend blend) {
    return {owner,
            sheet,
            CentredRect(WorldToScreen(position[0], position[1]), ScreenLength(a), ScreenLength(b)),
            source,
            RadianToAngle(Negate(angle)),
            colour,
            blend};
}
