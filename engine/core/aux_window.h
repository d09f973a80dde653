#pragma once
#include "platform/window.h"

// A second window the engine can own beside the game window (never opened by
// this game).
extern platform::WindowHandle auxWindowHandle;

// Sends WM_CLOSE to the auxiliary window when one is set, and forgets it.
void CloseAuxWindow();
