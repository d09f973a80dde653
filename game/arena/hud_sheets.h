#pragma once
// Where the battle's head-up display, pause menu, shared effects and banners
// cut their pictures from the "system" (and "system_r") sheet and from the
// "message" sheet of "gf\\system.dat". The data generator paints its
// placeholder sheets from the same numbers, so art and screen agree.
// Rectangles are (left, top)-(right, bottom) as the drawing code passes them.

#include <cstdint>

namespace hud_sheets {

struct Cell {
    int32_t left, top, right, bottom;
};

// ---- "system" (512 x 512) ----

// Character tabs 80 x 20, three a row, by characterId.
constexpr Cell CharacterTab(int32_t id) {
    return {240 + 80 * (id % 3), 20 * (id / 3), 319 + 80 * (id % 3), 20 * (id / 3) + 20};
}
// The life bar's frame and its three layers (0 = the lowest third), each
// stretched over the bar's width; the trail of recent damage.
constexpr Cell kLifeFrame{0, 20, 99, 39};
constexpr Cell LifeLayer(int32_t layer) { return {100, 20 * layer, 199, 20 * layer + 19}; }
constexpr Cell kLifeTrail{100, 60, 199, 79};
// The hyper dial is built from 100 two-pixel strips, each turned about its
// centre a little further: strip k of the face and of levels 0..2.
constexpr int32_t kDialStrips = 100;
constexpr int32_t kDialWidth = 60;  // the strip's length: the dial's diameter
constexpr int32_t kDialTop = 130;
constexpr int32_t kDialFaceLeft = 180;
constexpr int32_t DialLevelLeft(int32_t level) { return 60 * level; }
constexpr Cell DialStrip(int32_t left, int32_t k) { return {left, kDialTop + k, left + kDialWidth - 1, kDialTop + 2 + k}; }
// The level badge of levels 1..3.
constexpr Cell LevelBadge(int32_t level) { return {200, 30 * (level - 1), 224, 30 * level}; }
// Small digits 0..9 (boost value, combo hits).
constexpr Cell SmallDigit(int32_t d) { return {20 * d, 80, 20 * d + 19, 104}; }
constexpr Cell kBoostLabel{80, 105, 139, 129};
constexpr Cell kBoostUnit{140, 105, 164, 129};
constexpr Cell kShieldReady{0, 370, 89, 399};
// Large combo digits 0..9, five a row.
constexpr Cell ComboDigit(int32_t d) {
    return {240 + 30 * (d % 5), 300 + 35 * (d / 5), 269 + 30 * (d % 5), 334 + 35 * (d / 5)};
}
constexpr Cell kComboDamageLabel{90, 370, 179, 399};
constexpr Cell kComboHitsLabel{180, 370, 229, 399};
// Timer digits 0..9, five a row; the units digit is cut a pixel wider.
constexpr Cell TimerDigit(int32_t d, int32_t extra) {
    return {240 + 25 * (d % 5), 370 + 35 * (d / 5), 264 + extra + 25 * (d % 5), 404 + 35 * (d / 5)};
}
constexpr Cell kTimerNoLimit{365, 370, 414, 404};
constexpr Cell kTimerLabel{120, 425, 199, 444};
// The pause menu's three labels, top to bottom.
constexpr int32_t kMenuEntries = 3;
constexpr Cell MenuLabel(int32_t k) { return {0, 240 + 40 * k, 199, 279 + 40 * k}; }
constexpr const char* kMenuLabelText[kMenuEntries] = {"CHARACTER SELECT", "RETRY", "TITLE"};
constexpr Cell kDisconnected{150, 455, 389, 484};
// Shared effects: the graze mark, the ring about a hit or knocked-back
// fighter, and the move effect's burst (which overlaps the ring's corner).
constexpr Cell kGrazeMark{0, 425, 119, 454};
constexpr Cell kRing{240, 100, 399, 259};
constexpr Cell kMoveBurst{240, 200, 339, 299};

// ---- "message" (512 x 256) ----

// Banner letters: a 60-pixel row per word, a 45-pixel column per letter.
enum BannerRow : int32_t { BANNER_ROW_READY, BANNER_ROW_GO, BANNER_ROW_TIME_UP, BANNER_ROW_KNOCKOUT };
constexpr int32_t kBannerRows = 4;
constexpr Cell BannerLetter(int32_t row, int32_t i) { return {45 * i, 60 * row, 45 * i + 44, 60 * row + 59}; }
// One letter per cell the banner shows (8, 9, 7 and 7 of them).
constexpr const char* kBannerWords[kBannerRows] = {"STAND BY", "GO!FIGHT!", "TIME UP", "FINISH!"};

}  // namespace hud_sheets
