#include "game/screens/pending_battle_results.h"

BattleResult battleResult = {};
int32_t winnerSide = 0;
