#include "game/flow/logo_scene.h"

#include "game/flow/game_start.h"

int32_t logoState = 0;
int32_t logoTimer = 0;
uint8_t logoFinished = 0;
Surface* firstLogoSurface = nullptr;
Surface* secondLogoSurface = nullptr;

// Until the pictures and transitions are in, the logos are skipped.
void RunLogoScene() {
    sceneNumber = SCENE_TITLE;
    sceneInitPending = 1;
}
