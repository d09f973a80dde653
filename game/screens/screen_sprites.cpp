#include "game/screens/screen_sprites.h"

#include <algorithm>

gpu::RECT SheetCell(int32_t left, int32_t top, int32_t width, int32_t height) {
    return {left, top, left + width - 1, top + height - 1};
}

gpu::RECT CentredRect(float cx, float cy, float hw, float hh) {
    return {static_cast<int32_t>(cx - hw), static_cast<int32_t>(cy - hh), static_cast<int32_t>(cx + hw),
            static_cast<int32_t>(cy + hh)};
}

int32_t AlphaByte(float alpha) {
    if (!(alpha > 0.0f)) return 0;  // NaN too
    return std::min(255, static_cast<int32_t>(std::min(alpha, 255.0f)));
}

uint32_t ColourAt(float alpha, uint32_t rgb) {
    return static_cast<uint32_t>(AlphaByte(alpha)) << 24 | (rgb & 0xFFFFFF);
}
