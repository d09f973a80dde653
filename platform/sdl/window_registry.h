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
    // The client area the program draws for; a full-screen window shows it
    // scaled (FitPicture).
    int clientWidth = 640, clientHeight = 480;
    // Full screen through the window manager's state, which SDL does not
    // know of (MarkFullScreenBeforeMap).
    bool markedFullScreen = false;
};

// Every window created and not yet closed with the window system (a list, so
// records keep their address while windows are added).
std::list<WindowRecord>& Windows();
// The record of a live (not destroyed) window, or null.
WindowRecord* FindLiveWindow(WindowHandle handle);

// Turns a point in a window's own pixels into its client coordinates (the
// picture's pixels where a full-screen window shows it scaled).
void WindowToClient(SDL_Window* window, int* x, int* y);

// Empties the message queue (CloseWindowSystem).
void ClearMessageQueue();

}  // namespace platform::sdl
