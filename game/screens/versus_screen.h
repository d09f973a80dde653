#pragma once
// The versus screen between the select screens and the battle: the two
// stand pictures slide toward each other on dark bands, the versus mark
// closes in and the name plates grow. It lasts 201 frames, or until Z of
// either side, then fades out into the battle.
#include <cstdint>

enum VersusState : int32_t {
    VERSUS_SHOWING = 0,
    VERSUS_FADING = 90,
};

// Frames the screen shows before it fades out by itself.
constexpr int32_t VERSUS_SHOW_FRAMES = 201;

extern int32_t versusState;
extern int32_t versusCounter;  // frames since the screen began
// Puts the screen's state back as it is at program start; its pictures are
// forgotten, not released (the device lists free them).
void ResetVersusScreenState();

void RunVersusScene();
