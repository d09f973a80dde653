#pragma once
// The in-battle pause menu: opened with T, it stops the fight and offers
// three ways out (back to the select screen, retry, back to the title) or a
// cancel that goes back to the fight with the buttons as they were.
#include <cstdint>
#include <vector>

#include "game/shots/screen_flashes.h"

enum BattleMenuState : int32_t {
    BATTLE_MENU_OPENING = 10,
    BATTLE_MENU_CHOOSING = 20,
    BATTLE_MENU_CHOSEN = 80,  // waiting for the leaving transition
    BATTLE_MENU_CLOSING = 90,
};

extern int32_t battleMenuState;
extern float battleMenuAlpha;      // 0..1.0
extern float battleMenuFadeSpeed;  // alpha change per frame
extern int32_t battleMenuCursor;   // 0..2, top to bottom
// Puts the menu back as it is at program start.
void ResetBattleMenuState();

// Pauses the battle with the menu fading in; nothing once the battle is over.
void OpenBattleMenu();
// One frame of the open menu.
void UpdateBattleMenu();
// The quads of the open menu (none while the battle runs).
std::vector<OverlayQuad> BattleMenuQuads();
void DrawBattleMenu();
