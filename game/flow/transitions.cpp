#include "game/flow/transitions.h"

#include <algorithm>
#include <cmath>

#include "engine/core/math.h"
#include "engine/graphics/render_state.h"
#include "engine/graphics/texture.h"
#include "game/flow/numeric_helpers.h"

uint8_t transitionRunning = 0;
Texture* transitionSprite = nullptr;
int32_t transitionKind = 0;
float transitionAlpha = 0.0f;
float transitionSpeed = 0.0f;
TransitionTile transitionTiles[kTransitionColumns][kTransitionRows];

namespace {

constexpr int32_t kRevealing = 10;
constexpr int32_t kCovering = 100;
constexpr int kTileHalf = 20;

using DelayRule = int32_t (*)(int column, int row);

void SetTiles(float scale, DelayRule delay) {
    for (int c = 0; c < kTransitionColumns; ++c)
        for (int r = 0; r < kTransitionRows; ++r) transitionTiles[c][r] = {scale, delay(c, r)};
}

// Left to right along every row.
int32_t Sweep(int c, int) { return -2 * c; }
// Upper half left to right, lower half right to left.
int32_t HalvesOpposed(int c, int r) { return r < 6 ? -2 * c : -30 + 2 * c; }
// Even rows left to right, odd rows right to left.
int32_t RowsAlternate(int c, int r) { return r % 2 == 0 ? -2 * c : -30 + 2 * c; }
// Even columns top to bottom, odd columns bottom to top.
int32_t ColumnsAlternate(int c, int r) { return c % 2 == 0 ? -2 * r : -22 + 2 * r; }
// Rows alternating at one frame a column.
int32_t RowsAlternateFast(int c, int r) { return r % 2 == 0 ? -c : -15 + c; }
// Rows alternating after the knock-out banner.
int32_t RowsAlternateLate(int c, int r) { return r % 2 == 0 ? -200 - 2 * c : -230 + 2 * c; }

void StartWipe(int32_t kind, float scale, float speed, DelayRule delay) {
    transitionKind = kind;
    transitionSpeed = speed;
    SetTiles(scale, delay);
}

// A tile's half-size, alpha and turn follow its scale; each is taken in
// double from the scale and truncated (or rounded, for the turn) once. The
// turn stops at half a turn.
int TileHalf(float scale) { return static_cast<int>(scale * static_cast<double>(kTileHalf)); }
int TileAlpha(float scale) { return static_cast<int>(scale * 255.0); }
Angle16 TileTurn(float scale) { return RadianToAngle(static_cast<float>(std::min(scale * PI_WIDE, PI_WIDE))); }

// One tile turned by its scale and faded in with it; the delay runs out
// before the scale moves.
void DrawTile(TransitionTile& tile, int c, int r, int half, uint32_t alpha, Angle16 angle, bool draw) {
    if (draw && transitionSprite) {
        const int x = kTileHalf + 2 * kTileHalf * c, y = kTileHalf + 2 * kTileHalf * r;
        const gpu::RECT dest{x - half, y - half, x + half, y + half}, src{0, 0, 10, 10};
        transitionSprite->DrawRotated(&dest, 0.0f, &src, angle, alpha << 24 | 0xFFFFFF, BLEND_ALPHA);
    }
    tile.delay += 1;
    if (tile.delay >= 0) tile.scale += transitionSpeed;
}

void DrawCovering(bool draw) {
    int full = 0;
    for (int r = 0; r < kTransitionRows; ++r) {
        for (int c = 0; c < kTransitionColumns; ++c) {
            TransitionTile& tile = transitionTiles[c][r];
            if (tile.scale < 0.0f) continue;
            const int half = std::min(TileHalf(tile.scale), kTileHalf);
            int alpha = TileAlpha(tile.scale);
            if (alpha > 255) {
                ++full;
                alpha = 255;
            }
            DrawTile(tile, c, r, half, static_cast<uint32_t>(alpha), TileTurn(tile.scale), draw);
        }
    }
    if (full == kTransitionColumns * kTransitionRows) transitionRunning = 0;
}

void DrawRevealing(bool draw) {
    int drawn = 0;
    for (int r = 0; r < kTransitionRows; ++r) {
        for (int c = 0; c < kTransitionColumns; ++c) {
            TransitionTile& tile = transitionTiles[c][r];
            if (tile.scale < 0.0f || tile.scale > 1.0f) continue;
            DrawTile(tile, c, r, TileHalf(tile.scale), static_cast<uint32_t>(TileAlpha(tile.scale)),
                     TileTurn(tile.scale), draw);
            ++drawn;
        }
    }
    if (drawn == 0) transitionRunning = 0;
}

void DrawFade(bool draw) {
    if (draw && transitionSprite) {
        const gpu::RECT dest{0, 0, 640, 480}, src{32, 0, 42, 10};
        const uint32_t alpha = static_cast<uint32_t>(std::clamp(static_cast<double>(transitionAlpha), 0.0, 1.0) * 255.0);
        transitionSprite->Draw(&dest, 0.0f, &src, alpha << 24 | 0xFFFFFF, BLEND_ALPHA_ADD);
    }
    if (transitionKind == TRANSITION_FADE_IN) {
        transitionAlpha -= transitionSpeed;
        if (transitionAlpha < 0.0f) transitionRunning = 0;
    } else {
        transitionAlpha += transitionSpeed;
        if (transitionAlpha > 1.0f) transitionRunning = 0;
    }
}

// One frame of the running transition, drawn or not: its timeline is the same.
void StepTransition(bool draw) {
    if (!transitionRunning) return;
    switch (transitionKind) {
    case kCovering: DrawCovering(draw); break;
    case kRevealing: DrawRevealing(draw); break;
    case TRANSITION_FADE_IN:
    case TRANSITION_FADE_OUT: DrawFade(draw); break;
    default: break;
    }
}

}  // namespace

void StartTransition(int32_t kind) {
    transitionRunning = 1;
    switch (kind) {
    case TRANSITION_WIPE_10: StartWipe(kRevealing, 1.0f, -0.02f, Sweep); break;
    case TRANSITION_WIPE_11: StartWipe(kRevealing, 1.0f, -0.02f, HalvesOpposed); break;
    case TRANSITION_WIPE_12: StartWipe(kRevealing, 1.0f, -0.02f, RowsAlternate); break;
    case TRANSITION_WIPE_13: StartWipe(kRevealing, 1.0f, -0.02f, ColumnsAlternate); break;
    case TRANSITION_WIPE_14: StartWipe(kRevealing, 1.0f, -0.025f, RowsAlternateFast); break;
    case TRANSITION_KIND_100: StartWipe(kCovering, 0.0f, 0.01f, Sweep); break;
    case TRANSITION_KIND_122: StartWipe(kCovering, 0.0f, 0.02f, RowsAlternate); break;
    case TRANSITION_KIND_124: StartWipe(kCovering, 0.0f, 0.025f, RowsAlternateFast); break;
    case TRANSITION_KIND_1000: StartWipe(kCovering, 0.0f, 0.02f, RowsAlternateLate); break;
    case TRANSITION_FADE_IN:
        transitionKind = TRANSITION_FADE_IN;
        transitionSpeed = 0.025f;
        transitionAlpha = 1.0f;
        break;
    case TRANSITION_FADE_OUT:
        transitionKind = TRANSITION_FADE_OUT;
        transitionSpeed = 0.025f;
        transitionAlpha = 0.0f;
        break;
    default:
        break;
    }
}

void DrawTransition() { StepTransition(true); }

void AdvanceTransition() { StepTransition(false); }

void ResetTransitionState() {
    transitionRunning = 0;
    transitionSprite = nullptr;
    transitionKind = 0;
    transitionAlpha = 0.0f;
    transitionSpeed = 0.0f;
    for (auto& column : transitionTiles)
        for (TransitionTile& tile : column) tile = {};
}
