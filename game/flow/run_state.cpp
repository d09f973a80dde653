#include "game/flow/run_state.h"

#include "engine/core/application.h"
#include "engine/devices/network.h"
#include "game/flow/sound_tables.h"

int32_t sceneNumber = 0;
uint8_t sceneInitPending = 0;
int32_t gameMode = MODE_PRACTICE;
int32_t difficulty = DIFFICULTY_EASY;
Camera* gameCamera = nullptr;
int32_t titleStartState = -1;
int32_t titleCursor = 0;
int32_t replayListReturn = 0;

void ChangeScene(int32_t scene) {
    sceneNumber = scene;
    sceneInitPending = 1;
}

void ResetTitleOpening() {
    titleStartState = -1;
    titleCursor = 0;
    replayListReturn = 0;
}

void ResetRunState() {
    sceneNumber = 0;
    sceneInitPending = 0;
    gameMode = MODE_PRACTICE;
    difficulty = DIFFICULTY_EASY;
    gameCamera = nullptr;
    ResetTitleOpening();
}

void QuitGame() {
    // The sound table goes before the music and the socket before the engine
    // quits, so nothing plays or stays bound on the way out.
    ReleaseSeTable();
    StopBgm();
    NetClose();
    RequestExit();
}
