#pragma once
#include <cstdint>

class Camera;

// The state of the run that every scene reads: which scene runs, the match's
// mode and difficulty, and the one camera. It includes nothing of the game, so
// that any module may read it without pulling in the scene dispatcher.

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
// frame: ChangeScene sets both, the scene's init clears the flag.
extern int32_t sceneNumber;
extern uint8_t sceneInitPending;
extern int32_t gameMode;
extern int32_t difficulty;
// The one camera of the run, for the battle view and the front-end.
extern Camera* gameCamera;

// Where the title menu opens when a scene goes back to it.
// titleStartState: 0..3 the versus menu on that GameMode, 4 the main menu, 5
// the ranking (or the name entry) after an arcade run, 6 the extra menu; -1
// (program start) and anything else the intro.
extern int32_t titleStartState;
constexpr int32_t TITLE_START_MAIN = 4;
constexpr int32_t TITLE_START_RANKING = 5;
constexpr int32_t TITLE_START_EXTRA = 6;
// The title's highlighted item; in the replay list the row of the page, in
// the name entry the letter position.
extern int32_t titleCursor;
// Set while a replay started from the title's replay list plays, so that the
// title reopens the list on it.
extern int32_t replayListReturn;

// Puts the three variables above back to program start: the title opens on
// its intro, first item, no replay to return to.
void ResetTitleOpening();

// Makes scene the running scene from the next frame on, starting with its init.
void ChangeScene(int32_t scene);

// Puts every variable above back to its value at program start (no scene, the
// practice mode, easy, no camera, the title's intro); the camera itself
// belongs to the camera list.
void ResetRunState();

// The way out of the program (escape key, the title menu's quit): releases
// the sound effects, the music and the socket, then asks the engine to end.
void QuitGame();
