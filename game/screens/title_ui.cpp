#include "game/screens/title_ui.h"

#include <algorithm>

#include "engine/graphics/render_state.h"
#include "engine/graphics/texture.h"
#include "game/flow/transitions.h"

int AlphaLevel(float alpha) { return static_cast<int>(std::clamp(alpha, 0.0f, 1.0f) * 255.0f); }

void DrawSheetCell(Texture* sheet, const title_sheets::Cell& dest, const title_sheets::Cell& source, int alpha) {
    if (!sheet || alpha <= 0) return;
    const gpu::RECT d{dest.left, dest.top, dest.right, dest.bottom};
    const gpu::RECT s{source.left, source.top, source.right, source.bottom};
    sheet->Draw(&d, 0.0f, &s, static_cast<uint32_t>(std::min(alpha, 255)) << 24 | 0xFFFFFF, BLEND_ALPHA);
}

void FillBar(const title_sheets::Cell& dest, uint32_t colour) {
    if (!transitionSprite || colour >> 24 == 0) return;
    // Inside the sprite's white cell, clear of its filtered edges.
    const gpu::RECT d{dest.left, dest.top, dest.right, dest.bottom};
    const gpu::RECT s{36, 4, 60, 28};
    transitionSprite->Draw(&d, 0.0f, &s, colour, BLEND_ALPHA);
}
