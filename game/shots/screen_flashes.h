#pragma once
// The battle's full-screen overlays: the white flash of big attacks and the
// announcement banner (start, knock-out, time up). Both are drawn in screen
// pixels over the battle picture and never touch the game state; they only
// age inside their draw functions.
#include <cstdint>
#include <vector>

#include "game/arena/screen_mapping.h"

enum BannerKind : int32_t {
    BANNER_START,         // the first word of the start banner
    BANNER_START_SECOND,  // its second word
    BANNER_START_LEAVE,   // the second word flying apart
    BANNER_KNOCKOUT,
    BANNER_TIME_UP,
};

struct BannerParticle {
    float x, y;  // screen pixels
    int32_t colour;  // 0 or 1
    float heading;   // radians
};

extern uint8_t bannerActive;
extern int32_t bannerKind;
extern int32_t bannerTimer;  // frames since the banner started, across the start banner's kinds
extern float bannerCentre[2];
// One progress value per letter; a letter shows once its value is above 0,
// so negative values are delays.
extern std::vector<float> bannerLetters;
extern std::vector<BannerParticle> bannerParticles;
// Puts the banner back as it is at program start.
void ResetBannerState();

// The pictures the overlays (and the pause menu) draw from.
enum class OverlaySheet : int32_t {
    Transition,     // transitionSprite: white cells and the banner sparks
    BattleMessage,  // the banner words
    BattleSystem,   // the menu labels
};

// One upright quad in screen pixels, drawn at depth 0 with BLEND_ALPHA.
struct OverlayQuad {
    OverlaySheet sheet;
    ScreenRect destination;
    ScreenRect source;
    uint32_t colour;  // ARGB

    bool operator==(const OverlayQuad&) const = default;
};

// Draws the quads through Texture::Draw; quads of a missing sheet are skipped.
void DrawOverlayQuads(const std::vector<OverlayQuad>& quads);

// Ages the flashes (unless the battle is paused), erases those past 100
// frames and returns the quad of the brightest one, or nothing when every
// flash is darker than 1.
std::vector<OverlayQuad> StepScreenFlashes();
void DrawScreenFlashes();

// Starts a banner of kind 0, 3 or 4 (others are ignored), replacing a running
// one. The start banner draws 72 random numbers for its sparks.
void StartBanner(int32_t kind);
// The quads of the banner's frame, then the banner moves one frame on.
std::vector<OverlayQuad> StepBanner();
void DrawBanner();
