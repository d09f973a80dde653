#include "game/arena/battle_state.h"

int32_t battleFrame = 0;
int32_t startCountdown = 0;
int32_t battlePaused = 0;
int32_t stageNumber = 0;
int32_t arcadeStage = 0;
int32_t arcadeScore = 0;

float viewWidth = 0.0f;
float viewHeight = 0.0f;
float cameraX = 0.0f;
float cameraY = 0.0f;

int32_t battleTimer = 99;
uint8_t battleOver = 0;
float battleFadeLevel = START_FADE_LEVEL;

void ResetBattleState() {
    battleFrame = 0;
    startCountdown = 0;
    battlePaused = 0;
    stageNumber = 0;
    arcadeStage = 0;
    arcadeScore = 0;
    viewWidth = 0.0f;
    viewHeight = 0.0f;
    cameraX = 0.0f;
    cameraY = 0.0f;
    battleTimer = 99;
    battleOver = 0;
    battleFadeLevel = START_FADE_LEVEL;
}
