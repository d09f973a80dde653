#pragma once
// World to screen for the battle's sprites: x' = (x - cameraX) * (1 /
// viewWidth) * 640 + 320, y' = 240 - (y - cameraY) / viewHeight * 480, and
// world lengths scaled by 320 / viewWidth (half the pixels per world unit).
// The mapping is taken in double and truncated once.
#include <cstdint>

#include "platform/gpu_device.h"

struct ScreenPoint {
    int32_t x, y;
};

struct ScreenRect {
    int32_t left, top, right, bottom;

    bool operator==(const ScreenRect&) const = default;
};

// Screen values stay within this bound, far off the 640x480 screen, so that a
// centre plus or minus a half-size never overflows.
constexpr int32_t SCREEN_COORDINATE_LIMIT = 1 << 24;

// Truncates toward zero; values beyond the limit are clamped to it and NaN
// (a zero view width, say) gives -limit, a point off the screen.
int32_t TruncateScreenValue(double v);

// The truncated screen point of a world position under the battle view.
ScreenPoint WorldToScreen(float x, float y);
// A world length in screen pixels, 320 / viewWidth * length, truncated.
int32_t ScreenLength(double worldLength);

// The rectangle about a centre with the given half-sizes. Centre and
// half-sizes come truncated on their own (WorldToScreen, ScreenLength), never
// as the truncated sum.
ScreenRect CentredRect(ScreenPoint centre, int32_t halfWidth, int32_t halfHeight);

// The same rectangle as the device and the textures take it.
inline gpu::RECT ToDeviceRect(const ScreenRect& r) { return {r.left, r.top, r.right, r.bottom}; }

// Opaque white with the low byte of alpha in the alpha byte.
uint32_t WhiteWithAlpha(int32_t alpha);
