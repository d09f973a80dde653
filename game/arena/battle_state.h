#pragma once
// The battle's globals that its parts share (main thread only).
#include <cstdint>

extern int32_t battleFrame;     // frames since the battle started, +1 per unpaused frame
extern int32_t startCountdown;  // 200 at start; input is masked while above 0
extern int32_t battlePaused;    // 1 while the in-battle menu is open
extern int32_t stageNumber;     // stage 0..8 of the match
extern int32_t arcadeStage;     // step of the arcade ladder
extern int32_t arcadeScore;

// The battle view: world units across the screen and its centre.
extern float viewWidth;
extern float viewHeight;
extern float cameraX;
extern float cameraY;

extern int32_t battleTimer;  // the HUD's timer; 100 means no limit
extern uint8_t battleOver;   // set on a knock-out, at time up, or by the menu

// Zoom factor of the battle view: START_FADE_LEVEL at the start, brought to
// 1.0 by 0.02 a frame; a move may hold it lower.
constexpr float START_FADE_LEVEL = 3.0f;
extern float battleFadeLevel;

// Puts every value above back as it is at program start.
void ResetBattleState();
