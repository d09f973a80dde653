#include "game/battle/battle_hud.h"

#include <algorithm>
#include <cmath>

#include "engine/core/math.h"
#include "engine/graphics/render_state.h"
#include "engine/graphics/texture.h"
#include "game/arena/battle_assets.h"
#include "game/arena/battle_state.h"
#include "game/arena/hud_sheets.h"
#include "game/arena/player_record.h"
#include "game/arena/screen_mapping.h"
#include "game/flow/numeric_helpers.h"

double hudBadgePhase = 0.0;
float hudBlinkPhase = 0.0f;

namespace {

using hud_sheets::Cell;
constexpr int32_t DIAL_STRIPS = hud_sheets::kDialStrips;

constexpr uint32_t Argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return a << 24 | r << 16 | g << 8 | b; }
constexpr uint32_t Grey(uint32_t g) { return Argb(255, g, g, g); }
constexpr uint32_t OPAQUE = 0xffffffffu;
constexpr uint32_t FAINT_LEVEL = Argb(200, 200, 200, 200);

gpu::RECT Source(const Cell& c) { return {c.left, c.top, c.right, c.bottom}; }

void Picture(Texture* sheet, const gpu::RECT& destination, const gpu::RECT& source, uint32_t colour,
             int mode = BLEND_ALPHA) {
    if (sheet) sheet->Draw(&destination, 0.0f, &source, colour, mode);
}
void Picture(const gpu::RECT& destination, const Cell& source, uint32_t colour, int mode = BLEND_ALPHA) {
    Picture(battleSystemTexture, destination, Source(source), colour, mode);
}

// The four corners top-left, top-right, bottom-right, bottom-left.
void Quad(const std::array<int, 8>& corners, const Cell& cell, uint32_t colour) {
    const gpu::RECT source = Source(cell);
    if (battleSystemTexture) battleSystemTexture->DrawQuad(corners.data(), 0.0f, &source, colour, BLEND_ALPHA);
}

// Side 1's panel is side 0's seen in a mirror, except where a picture keeps
// its own orientation (Box) or the block only moves over (the boost value).
struct Panel {
    int32_t side;
    const PlayerRecord& p;

    int32_t X(int32_t x) const { return side ? 640 - x : x; }
    // A rectangle mirrored in place but drawn the right way round.
    gpu::RECT Box(int32_t l, int32_t t, int32_t r, int32_t b) const {
        return side ? gpu::RECT{640 - r, t, 640 - l, b} : gpu::RECT{l, t, r, b};
    }
    // A source strip read right to left on side 1.
    gpu::RECT Strip(const Cell& c) const {
        return side ? gpu::RECT{c.right + 1, c.top, c.left + 1, c.bottom} : gpu::RECT{c.left, c.top, c.right, c.bottom};
    }
    std::array<int, 8> Corners(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3,
                               int32_t y3) const {
        return {X(x0), y0, X(x1), y1, X(x2), y2, X(x3), y3};
    }
    Angle16 Turn(double radians) const { return RadianToAngle(static_cast<float>(side ? -radians : radians)); }
};

void DrawCharacterTab(const Panel& panel) {
    const int32_t c = panel.p.characterId;
    const gpu::RECT destination{panel.X(20), 5, panel.X(100), 26};
    Picture(destination, hud_sheets::CharacterTab(c), OPAQUE);
}

void DrawLifeBar(const Panel& panel) {
    Quad(panel.Corners(30, 34, 230, 34, 240, 50, 40, 50), hud_sheets::kLifeFrame, OPAQUE);
    for (int32_t i = 0; i < 3; ++i) {
        const LifeLayer layer = LifeLayerOf(panel.p, i);
        if (!layer.drawn) continue;
        const int32_t top = 30 - 2 * i, bottom = top + 16, w = layer.width, w2 = layer.trailWidth;
        Quad(panel.Corners(30, top, 30 + w, top, 40 + w, bottom, 40, bottom), hud_sheets::LifeLayer(i),
             layer.shade);
        if (w2 > 0 && w2 != w)
            Quad(panel.Corners(30 + w, top, 30 + w2, top, 40 + w2, bottom, 40 + w, bottom), hud_sheets::kLifeTrail,
                 OPAQUE);
    }
}

// Strips k = 0..count-1 of one dial layer, each turned a little further.
void DrawDialStrips(const Panel& panel, int32_t top, int32_t sourceLeft, int32_t count, uint32_t colour) {
    if (!battleSystemTexture) return;
    const gpu::RECT destination = panel.Box(5, top, 65, top + 2);
    for (int32_t k = 0; k < count; ++k) {
        const gpu::RECT source = panel.Strip(hud_sheets::DialStrip(sourceLeft, k));
        battleSystemTexture->DrawRotated(&destination, 0.0f, &source, panel.Turn(1.0 + 0.03141593 * k), colour,
                                         BLEND_ALPHA);
    }
}

void DrawHyperDial(const Panel& panel) {
    DrawDialStrips(panel, 43, hud_sheets::kDialFaceLeft, DIAL_STRIPS, OPAQUE);
    const std::array<DialLevel, 3> levels = DialLevels(panel.p.hyperGauge);
    for (int32_t level = 0; level < 3; ++level)
        DrawDialStrips(panel, 39, hud_sheets::DialLevelLeft(level), levels[level].strips, levels[level].colour);
}

void DrawLevelBadge(const Panel& panel) {
    const int32_t m = static_cast<int32_t>(panel.p.hyperGauge);
    if (m < 1) return;
    hudBadgePhase += 0.1;
    if (hudBadgePhase > TWO_PI_WIDE) hudBadgePhase -= TWO_PI_WIDE;
    const int32_t o = static_cast<int32_t>(std::sin(hudBadgePhase) * 4.0 + 16.0);
    const int32_t x = panel.X(28);
    Picture({x - o, 40 - o, x + o, 40 + o}, hud_sheets::LevelBadge(m), OPAQUE);
}

void DrawNamePlate(const Panel& panel) {
    const int32_t c = panel.p.characterId;
    Picture(battleNamePlateTexture, panel.Box(98, 6, 162, 26),
            {128 * (c % 2), 40 * (c / 2), 128 * (c % 2) + 127, 40 * (c / 2) + 39}, OPAQUE);
}

// Three small digits of value, units on the right at x; leading zeros in
// the faint colour.
void DrawSmallDigits(int32_t value, int32_t x, int32_t step, int32_t top, int32_t bottom, uint32_t colour,
                     uint32_t leadingColour) {
    for (int32_t k = 1; k <= 3; ++k) {
        const int32_t d = GetDigit(value, k), left = x - step * (k - 1);
        Picture({left, top, left + 16, bottom}, hud_sheets::SmallDigit(d), k > CountDigits(value) ? leadingColour : colour);
    }
}

void DrawBoost(const Panel& panel) {
    const int32_t v = static_cast<int32_t>(panel.p.boostGauge * 100.0);
    const uint32_t colour = BoostColour(v);
    const int32_t shift = panel.side ? 285 : 0;
    Picture({120 + shift, 50, 170 + shift, 70}, hud_sheets::kBoostLabel, colour);
    DrawSmallDigits(v, 202 + shift, 14, 50, 70, colour, (colour & 0x00ffffffu) | 127u << 24);
    Picture({217 + shift, 54, 233 + shift, 70}, hud_sheets::kBoostUnit, colour);
}

void DrawShieldReady(const Panel& panel) {
    if (!(panel.p.hyperGauge >= 0.5f)) return;
    hudBlinkPhase = static_cast<float>(hudBlinkPhase + 0.1);
    if (hudBlinkPhase > TWO_PI_F) hudBlinkPhase -= TWO_PI_F;
    const int32_t alpha = 200 + static_cast<int32_t>(50.0 * std::sin(static_cast<double>(hudBlinkPhase)));
    Picture(panel.Box(47, 48, 123, 72), hud_sheets::kShieldReady, WhiteWithAlpha(alpha), BLEND_ALPHA_ADD);
}

void DrawCombo(const Panel& panel) {
    const PlayerRecord& p = panel.p;
    if (!(p.comboTimer > -100 && p.comboDamage > 0)) return;
    const int32_t X = ComboOffset(panel.side, p.comboTimer), a = ComboAlpha(p.comboTimer);
    for (int32_t k = 1; k <= 6; ++k) {
        const int32_t d = GetDigit(p.comboDamage, k), x = X + 123 - 22 * (k - 1);
        const Cell source = hud_sheets::ComboDigit(d);
        const gpu::RECT place{x - 3, 74, x + 21, 106};
        if (k <= CountDigits(p.comboDamage)) {
            Picture({x, 77, x + 24, 109}, source, static_cast<uint32_t>(a / 4) << 24);
            Picture(place, source, WhiteWithAlpha(a));
        } else {
            Picture(place, source, WhiteWithAlpha(a / 4));
        }
    }
    Picture({X + 85, 100, X + 175, 130}, hud_sheets::kComboDamageLabel, WhiteWithAlpha(a));
    DrawSmallDigits(p.comboHits, X + 46, 12, 109, 127, WhiteWithAlpha(a), WhiteWithAlpha(a / 2));
    Picture({X + 55, 110, X + 95, 130}, hud_sheets::kComboHitsLabel, WhiteWithAlpha(a));
}

void DrawPanel(int32_t side) {
    const Panel panel{side, players[side]};
    DrawCharacterTab(panel);
    DrawLifeBar(panel);
    DrawHyperDial(panel);
    DrawLevelBadge(panel);
    DrawNamePlate(panel);
    DrawBoost(panel);
    DrawShieldReady(panel);
    DrawCombo(panel);
}

void DrawTimer() {
    const int32_t t = std::max(battleTimer, 0);
    const uint32_t colour = TimerColour(t);
    if (t < 100) {
        Picture({296, 16, 320, 51}, hud_sheets::TimerDigit(t / 10, 0), colour);
        Picture({320, 16, 344, 51}, hud_sheets::TimerDigit(t % 10, 1), colour);
    } else {
        Picture({295, 16, 345, 51}, hud_sheets::kTimerNoLimit, colour);
    }
    Picture({280, 0, 360, 20}, hud_sheets::kTimerLabel, colour);
}

// A dial level from its share of the gauge; full levels fade once the next
// one has begun.
DialLevel LevelOf(double share, bool fadesWhenFull) {
    const int32_t n = TruncateScreenValue(share * 100.0);
    if (n > DIAL_STRIPS) return {DIAL_STRIPS, fadesWhenFull ? FAINT_LEVEL : OPAQUE};
    return {std::max(n, 0), OPAQUE};
}

}  // namespace

void DrawBattleHud() {
    DrawPanel(0);
    DrawPanel(1);
    DrawTimer();
}

LifeLayer LifeLayerOf(const PlayerRecord& p, int32_t layer) {
    const int32_t t = p.maxLife / 3;
    if (p.life >= (layer + 1) * t) return {true, 200, 200, p.life == p.maxLife ? Grey(255) : Grey(200)};
    const auto share = [&](int32_t value) {
        return TruncateScreenValue(static_cast<double>(value - layer * t) / t * 200.0);
    };
    const int32_t w = share(p.life);
    return {w >= 0, w, std::min(share(p.shownLife), 200), Grey(255)};
}

std::array<DialLevel, 3> DialLevels(float hyperGauge) {
    const DialLevel none{0, OPAQUE};
    const double g = hyperGauge;
    return {LevelOf(g, true), g > 1.0 ? LevelOf(g - 1.0, true) : none, g > 2.0 ? LevelOf(g - 2.0, false) : none};
}

uint32_t BoostColour(int32_t value) {
    const uint32_t g = static_cast<uint32_t>(std::clamp(355 - value, 0, 255));
    const uint32_t b = static_cast<uint32_t>(std::clamp(255 - value, 0, 255));
    return Argb(255, 255, g, b);
}

int32_t ComboOffset(int32_t side, int32_t comboTimer) {
    if (comboTimer <= 100) return side ? 450 : 10;
    return side ? 5 * comboTimer - 50 : (102 - comboTimer) * 5;
}

int32_t ComboAlpha(int32_t comboTimer) {
    return comboTimer >= 0 ? 255 : static_cast<int32_t>((comboTimer + 100) * 0.01 * 255);
}

uint32_t TimerColour(int32_t timer) { return timer < 10 ? Argb(255, 255, 150, 150) : OPAQUE; }

void ResetBattleHudState() {
    hudBadgePhase = 0.0;
    hudBlinkPhase = 0.0f;
}
