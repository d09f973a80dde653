#pragma once
#include <SDL.h>

#include <list>

#include "platform/window.h"

namespace platform::sdl {

// One window of the program with its procedure. A destroyed window is only
// marked and receives no more messages; `destroySent` records that WM_DESTROY
// has been delivered, so that it reaches the procedure once.
struct WindowRecord {
    SDL_Window* window = nullptr;
    WindowProcedure procedure = nullptr;
    bool destroyed = false;
    bool destroySent = false;
};

// Every window created and not yet closed with the window system (a list, so
// records keep their address while windows are added).
std::list<WindowRecord>& Windows();
// The record of a live (not destroyed) window, or null.
WindowRecord* FindLiveWindow(WindowHandle handle);

// Empties the message queue (CloseWindowSystem).
void ClearMessageQueue();

}  // namespace platform::sdl
