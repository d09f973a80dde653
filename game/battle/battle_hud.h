#pragma once
// The battle's head-up display: per side a character tab, a three-layer life
// bar with its damage trail, the hyper-gauge dial with its level badge, the
// name plate, the boost value, the shield-ready sign and the running combo;
// then the timer in the middle. Side 1's panel mirrors side 0's. Everything
// is drawn from the "system" and "name_plate" sheets in screen pixels.
#include <array>
#include <cstdint>

struct PlayerRecord;

// Pulse phases of the level badge and of the shield-ready sign: advanced by
// 0.1 each time their picture is drawn (by both sides), never reset.
extern double hudBadgePhase;
extern float hudBlinkPhase;
// Puts both phases back to their program-start 0.
void ResetBattleHudState();

void DrawBattleHud();

// One third of the life bar (layer 0..2).
struct LifeLayer {
    bool drawn;          // false once life is below this third
    int32_t width;       // 0..200 pixels
    int32_t trailWidth;  // of the recent damage; drawn when above 0 and not equal to width
    uint32_t shade;      // grey 255, or grey 200 for a full layer while life is not full
};
LifeLayer LifeLayerOf(const PlayerRecord& p, int32_t layer);

// One level of the hyper dial: how many of its 100 strips are filled and in
// which colour (a completed level is faint once the next one has begun).
struct DialLevel {
    int32_t strips;
    uint32_t colour;
};
std::array<DialLevel, 3> DialLevels(float hyperGauge);

// White at 0, through yellow to red as the boost gauge value (0..300) grows.
uint32_t BoostColour(int32_t value);
// The combo block's left edge for a side, sliding in during a combo's first frames.
int32_t ComboOffset(int32_t side, int32_t comboTimer);
// 255 while the combo runs, fading over the timer's last 100 units.
int32_t ComboAlpha(int32_t comboTimer);
// White, tinted red in the last ten units.
uint32_t TimerColour(int32_t timer);
