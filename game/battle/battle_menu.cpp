#include "game/battle/battle_menu.h"

#include "game/arena/battle_state.h"
#include "game/arena/hud_sheets.h"
#include "game/arena/player_record.h"
#include "game/battle/battle_scene.h"
#include "game/flow/input_words.h"
#include "game/flow/sound_tables.h"
#include "game/flow/transitions.h"

int32_t battleMenuState = BATTLE_MENU_OPENING;
float battleMenuAlpha = 0.0f;
float battleMenuFadeSpeed = 0.05f;
int32_t battleMenuCursor = 0;

namespace {

constexpr int32_t ENTRY_COUNT = hud_sheets::kMenuEntries;

// The way out each entry chooses, top to bottom.
constexpr int32_t entryChoices[ENTRY_COUNT] = {BATTLE_END_SELECT, BATTLE_END_RETRY, BATTLE_END_TITLE};

ScreenRect EntryLabel(int32_t k) {
    const hud_sheets::Cell c = hud_sheets::MenuLabel(k);
    return {c.left, c.top, c.right, c.bottom};
}

// Either side's final buttons or side 0's live pad, which still works while
// a replay is played back.
bool Pressed(ButtonSlot slot) {
    return buttonStates[0][slot] == BUTTON_STATE_PRESSED || buttonStates[1][slot] == BUTTON_STATE_PRESSED ||
           players[0].buttons[slot] == BUTTON_STATE_PRESSED;
}

void Choose() {
    if (Pressed(BUTTON_DOWN)) {
        battleMenuCursor = (battleMenuCursor + 1) % ENTRY_COUNT;
        PlaySe(SE_CURSOR);
    }
    if (Pressed(BUTTON_UP)) {
        battleMenuCursor = (battleMenuCursor + ENTRY_COUNT - 1) % ENTRY_COUNT;
        PlaySe(SE_CURSOR);
    }
    if (Pressed(BUTTON_Z)) {
        battleOver = 1;
        StartTransition(TRANSITION_KIND_124);
        battleMenuState = BATTLE_MENU_CHOSEN;
        battleEndChoice = entryChoices[battleMenuCursor];
        PlaySe(SE_DECIDE);
    }
    if (Pressed(BUTTON_X) || Pressed(BUTTON_T)) {
        battleMenuState = BATTLE_MENU_CLOSING;
        battleMenuAlpha = 1.0f;
        battleMenuFadeSpeed = 0.05f;
        PlaySe(SE_CANCEL);
    }
}

// The fight goes on with the buttons of the moment it was paused, so a
// button held through the pause is not seen as newly pressed.
void Close() {
    for (int side = 0; side < 2; ++side)
        for (int slot = 0; slot < BUTTON_SLOT_COUNT; ++slot) buttonStates[side][slot] = players[side].menuButtons[slot];
    battlePaused = 0;
}

}  // namespace

void OpenBattleMenu() {
    if (battleOver) return;
    for (int side = 0; side < 2; ++side)
        for (int slot = 0; slot < BUTTON_SLOT_COUNT; ++slot) players[side].menuButtons[slot] = buttonStates[side][slot];
    battlePaused = 1;
    battleMenuState = BATTLE_MENU_OPENING;
    battleMenuCursor = 0;
    battleMenuAlpha = 0.0f;
    battleMenuFadeSpeed = 0.05f;
}

void UpdateBattleMenu() {
    switch (battleMenuState) {
    case BATTLE_MENU_OPENING:
        battleMenuAlpha += battleMenuFadeSpeed;
        if (battleMenuAlpha >= 1.0f) {
            battleMenuAlpha = 1.0f;
            battleMenuState = BATTLE_MENU_CHOOSING;
        }
        break;
    case BATTLE_MENU_CHOOSING: Choose(); break;
    case BATTLE_MENU_CLOSING:
        battleMenuAlpha -= battleMenuFadeSpeed;
        if (battleMenuAlpha <= 0.0f) Close();
        break;
    default: break;  // chosen: the battle frame ends the battle after the transition
    }
}

std::vector<OverlayQuad> BattleMenuQuads() {
    if (!battlePaused) return {};
    const int32_t a = TruncateScreenValue(battleMenuAlpha * 255.0);
    const int32_t f = a / 3;
    // The first and third labels slide in from the left, the second from the right.
    const int32_t slide = TruncateScreenValue((1.0 - battleMenuAlpha) * -50.0);
    std::vector<OverlayQuad> quads;
    for (int32_t k = 0; k < ENTRY_COUNT; ++k) {
        const int32_t y = 180 + 60 * k;
        const int32_t s = k == 1 ? 1 : -1;
        const int32_t x = 320 - slide * s;
        quads.push_back({OverlaySheet::Transition, {0, y - 25, 640, y + 25}, {0, 0, 30, 30}, WhiteWithAlpha(f)});
        quads.push_back({OverlaySheet::BattleSystem,
                         {x - 100, y - 20, x + 100, y + 20},
                         EntryLabel(k),
                         WhiteWithAlpha(k == battleMenuCursor ? a : f)});
    }
    return quads;
}

void DrawBattleMenu() { DrawOverlayQuads(BattleMenuQuads()); }

void ResetBattleMenuState() {
    battleMenuState = BATTLE_MENU_OPENING;
    battleMenuAlpha = 0.0f;
    battleMenuFadeSpeed = 0.05f;
    battleMenuCursor = 0;
}
