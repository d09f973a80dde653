#pragma once
#include <cstdint>

// The front-end scenes as plain stand-ins until their
// own screens exist: each shows a screen of its own colour and leaves the
// way its scene does, Z (decide) to the next scene and X (cancel) back,
// after a covering transition. They follow the scene-frame convention, so the
// scene loop and the transitions run as they will with the real screens.

// The select screens' remembered characters (side 0, side 1) and stage.
extern int32_t lastSelectedCharacters[2];
extern int32_t lastSelectedStage;

// The remembered menu positions as they are at program start.
void ResetFrontEndPositions();

// Colour of each stand-in's plain screen, so a frame shows which one ran.
enum PlaceholderColour : uint32_t {
    PLACEHOLDER_NETWORK_SELECT = 0xFF205070,
};

void RunNetworkSelectScene();
