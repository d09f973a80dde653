#include "game/battle/pending_services.h"

int32_t gameMode = MODE_PRACTICE;
int32_t difficulty = DIFFICULTY_EASY;
