#include "game/arena/screen_mapping.h"

#include <cmath>

#include "game/arena/battle_state.h"

int32_t TruncateScreenValue(double v) {
    if (std::isnan(v)) return -SCREEN_COORDINATE_LIMIT;
    if (v >= SCREEN_COORDINATE_LIMIT) return SCREEN_COORDINATE_LIMIT;
    if (v <= -SCREEN_COORDINATE_LIMIT) return -SCREEN_COORDINATE_LIMIT;
    return static_cast<int32_t>(v);
}

ScreenPoint WorldToScreen(float x, float y) {
    const double dx = static_cast<double>(x) - cameraX, dy = static_cast<double>(y) - cameraY;
    return {TruncateScreenValue(dx * (1.0 / viewWidth) * 640.0 + 320.0),
            TruncateScreenValue(240.0 - dy / viewHeight * 480.0)};
}

int32_t ScreenLength(double worldLength) { return TruncateScreenValue(320.0 / viewWidth * worldLength); }

ScreenRect CentredRect(ScreenPoint centre, int32_t halfWidth, int32_t halfHeight) {
    return {centre.x - halfWidth, centre.y - halfHeight, centre.x + halfWidth, centre.y + halfHeight};
}

uint32_t WhiteWithAlpha(int32_t alpha) { return (static_cast<uint32_t>(alpha) & 0xFFu) << 24 | 0x00FFFFFFu; }
