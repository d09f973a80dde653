#include "game/flow/game_start.h"

#include "engine/core/application.h"
#include "platform/keyboard.h"

int32_t gameMode = MODE_PRACTICE;
int32_t difficulty = DIFFICULTY_EASY;

namespace {

// Message hook for WM_KEYDOWN: escape quits.
void OnKeyDown(platform::WPARAM wParam, platform::LPARAM) {
    if (wParam == platform::VK_ESCAPE) RequestExit();
}

}  // namespace

void ConfigureApplication() {
    SetAppName("Tobrazel");
    SetScreenSize(640, 480);
    SetFrameRate(60);
    SetWindowed(1);
    SetCursorVisible(0);
    AddMessageHook(platform::WM_KEYDOWN, OnKeyDown);
    SetInitFlags(ENGINE_INIT_GRAPHICS | ENGINE_INIT_INPUT | ENGINE_INIT_SOUND);
    SetStartupConsole(0);
}

void RunGame() {
    while (PumpMessages()) {
    }
}
