#include "game/battle/battle_drawing.h"

// Not built yet: the battle picture lands with the battle drawing work.
void DrawBattle() {}
void SetBattleView() {}
void UpdateBattleCamera() {}
