#include "game/battle/battle_state.h"

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
