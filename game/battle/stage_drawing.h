#pragma once
// The 3-D scenery behind the battle, one recipe per stage.
#include <cstdint>

// The scenery's animation, shared by every stage and kept for the whole run
// (a new battle goes on where the last one stopped); frozen while the battle
// is paused. The angles are radians wrapped into 0..2pi, the scrolls texture
// offsets wrapped into 0..1.
extern float stageSwayAngle;
extern float stageTurnAngle;
extern float stageScrollA;
extern float stageScrollB;
// Puts the animation back to its program-start 0.
void ResetStageDrawingState();

// Advances the animation (unless paused) and draws the stage's models as
// LoadStage made them, through the camera and render states already set;
// stages outside 0..8 draw nothing.
void DrawStage(int32_t stage);
