#include "game/battle/battle_menu.h"

// Not built yet: the menu lands with the battle scene work.
void OpenBattleMenu() {}
void UpdateBattleMenu() {}
void DrawBattleMenu() {}
