#include "game/battle/screen_mapping.h"

#include <cmath>

#include "game/battle/battle_state.h"

int32_t TruncateScreenValue(float v) {
    if (std::isnan(v)) return -SCREEN_COORDINATE_LIMIT;
    if (v >= static_cast<float>(SCREEN_COORDINATE_LIMIT)) return SCREEN_COORDINATE_LIMIT;
    if (v <= -static_cast<float>(SCREEN_COORDINATE_LIMIT)) return -SCREEN_COORDINATE_LIMIT;
    return static_cast<int32_t>(v);
}

ScreenPoint WorldToScreen(float x, float y) {
    return {TruncateScreenValue((x - cameraX) / viewWidth * 640.0f + 320.0f),
            TruncateScreenValue(240.0f - (y - cameraY) / viewHeight * 480.0f)};
}

int32_t ScreenLength(float worldLength) { return TruncateScreenValue(320.0f / viewWidth * worldLength); }

ScreenRect CentredRect(ScreenPoint centre, int32_t halfWidth, int32_t halfHeight) {
    return {centre.x - halfWidth, centre.y - halfHeight, centre.x + halfWidth, centre.y + halfHeight};
}

uint32_t WhiteWithAlpha(int32_t alpha) { return (static_cast<uint32_t>(alpha) & 0xFFu) << 24 | 0x00FFFFFFu; }
