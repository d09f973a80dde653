#pragma once
// Full-screen transitions drawn over a scene change: a 16 x 12 grid of 40-pixel
// tiles that grow over the picture (covering) or shrink away from it
// (revealing), each turning as it scales after its own delay, or a fade.
#include <cstdint>

class Texture;

enum TransitionKind {
    TRANSITION_WIPE_10 = 10,
    TRANSITION_WIPE_11 = 11,
    TRANSITION_WIPE_12 = 12,
    TRANSITION_WIPE_13 = 13,
    TRANSITION_WIPE_14 = 14,
    TRANSITION_KIND_100 = 100,
    TRANSITION_KIND_122 = 122,
    TRANSITION_KIND_124 = 124,
    TRANSITION_KIND_1000 = 1000,
    TRANSITION_FADE_IN = 1020,
    TRANSITION_FADE_OUT = 1021,
};

struct TransitionTile {
    float scale;    // 0 invisible, 1 a full 40 x 40 opaque tile
    int32_t delay;  // frames still to wait while negative
};

constexpr int kTransitionColumns = 16;
constexpr int kTransitionRows = 12;

extern uint8_t transitionRunning;
// The "black" picture of the system archive; the game start creates it.
extern Texture* transitionSprite;
extern int32_t transitionKind;  // the drawing mode: 10, 100, 1020 or 1021
extern float transitionAlpha;
extern float transitionSpeed;
extern TransitionTile transitionTiles[kTransitionColumns][kTransitionRows];
// Puts the transition back as it is at program start; the sprite is
// forgotten, not released (the texture list frees it).
void ResetTransitionState();

// Starts a transition, replacing any running one. A kind without values of
// its own only marks a transition as running.
void StartTransition(int32_t kind);
// Draws and advances the running transition; called last in a scene's frame.
void DrawTransition();
// Advances the running transition as DrawTransition does, drawing nothing: for
// a frame whose picture could not be drawn.
void AdvanceTransition();
