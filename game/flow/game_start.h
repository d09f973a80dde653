#pragma once
#include <cstdint>

#include "platform/window.h"

class Camera;

// The game's side of start-up: the engine calls ConfigureApplication before
// its window exists and RunGame, the main loop, once its layers are up.
void ConfigureApplication();
void RunGame();

// The numbers of the scenes (values of sceneNumber). Other values run no
// scene: the loop keeps pumping frames and draws nothing.
enum SceneId : int32_t {
    SCENE_BATTLE = 1,
    SCENE_TITLE = 3,
    SCENE_SELECT = 4,  // the select screen of gameMode
    SCENE_RESULT = 11,
    SCENE_LOGO = 12,  // the first scene
    SCENE_ANIMATION = 13,
    SCENE_STORY = 14,
    SCENE_VERSUS = 15,
    SCENE_STAFF_ROLL = 16,
};

enum GameMode : int32_t {
    MODE_PRACTICE,
    MODE_1P_VS_2P,
    MODE_1P_VS_CPU,
    MODE_VS_NETWORK,
    MODE_ARCADE,
};

enum Difficulty : int32_t {
    DIFFICULTY_EASY,
    DIFFICULTY_NORMAL,
    DIFFICULTY_HARD,
};

// The running scene and the flag that makes it run its init on its next
// frame: whoever changes sceneNumber sets sceneInitPending, the init clears it.
extern int32_t sceneNumber;
extern uint8_t sceneInitPending;
extern int32_t gameMode;
extern int32_t difficulty;
// Screenshots taken in this run; it names the next one.
extern int32_t screenshotCounter;
// The one camera of the run, for the battle view and the front-end.
extern Camera* gameCamera;

// The way out of the program (escape key, the title menu's quit): releases
// the sound effects, the music and the socket, then asks the engine to end.
void QuitGame();
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
// One frame of the scene named by sceneNumber (SCENE_SELECT by gameMode).
void RunSceneFrame();
