#pragma once
#include <cstdint>

class Surface;

// The first scene: the two start-up logos, each faded in and out and held
// for up to 200 frames (Z of side 0 cuts a hold short), then the title menu.
void RunLogoScene();

// States of the logo scene.
enum LogoState : int32_t {
    LOGO_FIRST = 10,         // the first logo is held
    LOGO_FIRST_FADE = 20,    // it fades out, then the second fades in
    LOGO_SECOND = 30,        // the second logo is held
    LOGO_SECOND_FADE = 90,   // it fades out, then the scene ends
};

extern int32_t logoState;
extern Surface* firstLogoSurface;
extern Surface* secondLogoSurface;
// Puts the scene's state back as it is at program start.
void ResetLogoState();
