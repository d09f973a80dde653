#pragma once
// The in-battle pause menu.

void OpenBattleMenu();
void UpdateBattleMenu();
void DrawBattleMenu();
