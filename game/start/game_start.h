#pragma once
#include <cstdint>

#include "game/flow/run_state.h"
#include "platform/window.h"

// The game's side of start-up: the engine calls ConfigureApplication before
// its window exists and RunGame, the main loop, once its layers are up.
void ConfigureApplication();
void RunGame();

// Screenshots taken in this run; it names the next one.
extern int32_t screenshotCounter;

// Message hook for WM_KEYDOWN: escape quits, space saves a screenshot.
void OnKeyDown(platform::WPARAM wParam, platform::LPARAM lParam);
// The screenshot path for a counter value: "screen\\screen00.bmp" on.
void FormatScreenshotPath(char* out, unsigned size, int32_t counter);

// One-time set-up of the run: depth buffer, transition sprite, camera,
// render states, the "replay" and "screen" folders.
void InitGame();
// What RunGame does before its loop: InitGame, the save data, the sound
// effects, the character constants, and the first scene (the logos).
void StartGame();
// Puts every module's state back as it is at program start, so that a run
// (a test, a traced battle) in the same process starts as a fresh program
// does. Pictures, models and sounds are forgotten, not released: their
// lists own them, so call it once those are destroyed or before anything
// is loaded.
void ResetGameState();
// One frame of the scene named by sceneNumber (SCENE_SELECT by gameMode).
void RunSceneFrame();
