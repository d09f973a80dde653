#include "game/battle/pending_services.h"

int32_t gameMode = MODE_PRACTICE;
int32_t difficulty = DIFFICULTY_EASY;

uint8_t netConnected = 0;
uint32_t netSendInterval = 2;
int32_t netLocalSide = 0;

// No socket layer yet: nothing is sent.
bool NetSend(const void*, int32_t) { return true; }
