#pragma once
// Drawing one battle frame: the 3-D stage through a perspective camera, then
// the fighters, objects and overlays through the orthographic battle camera.
#include <cstdint>

void DrawBattle();
// The stage camera: a fixed eye whose field of view widens with the zoom.
void SetBattleView();
// Zooms and follows the fighters (frozen while paused) and applies the
// orthographic camera that maps the world onto the screen like the sprites.
void UpdateBattleCamera();

// The side whose after-image is laid over this frame (side 0 first), or -1
// when neither side's invulnerableTimer is negative.
int32_t AfterImageSide();
// The overlay's alpha for a negative invulnerableTimer: 200 below -10, then
// 20 per frame left.
int32_t AfterImageAlpha(int32_t invulnerableTimer);
