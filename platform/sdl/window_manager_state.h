#pragma once
#include <SDL.h>

namespace platform::sdl {

// Full screen through the window manager's own state, set before the window
// is first mapped, as the window manager reads it then. SDL's switch of a
// mapped window waits up to 100 ms for the window to move or change size,
// and a window already placed and sized as the desktop does neither, so a
// full-screen window asks for the state itself. SDL does not know of it:
// the window leaves it only through LeaveMarkedFullScreen. Without a window
// manager nobody reads the state, and the window covers the desktop by its
// own place and size.
//
// False, and nothing done, where the window is not an X11 one.
bool MarkFullScreenBeforeMap(SDL_Window* window);
// Takes a window marked so out of the state: a mapped one through the window
// manager, one not yet mapped by rewriting what its first map will read.
void LeaveMarkedFullScreen(SDL_Window* window);

}  // namespace platform::sdl
