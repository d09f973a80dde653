#include "platform/mouse.h"

#include <SDL.h>

#include "platform/sdl/window_registry.h"

namespace platform {

MouseReading ReadMouse() {
    MouseReading reading;
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return reading;
    Uint32 buttons = SDL_GetMouseState(&reading.x, &reading.y);
    if (SDL_Window* focus = SDL_GetMouseFocus()) sdl::WindowToClient(focus, &reading.x, &reading.y);
    reading.leftDown = (buttons & SDL_BUTTON_LMASK) != 0;
    reading.rightDown = (buttons & SDL_BUTTON_RMASK) != 0;
    reading.middleDown = (buttons & SDL_BUTTON_MMASK) != 0;
    return reading;
}

}  // namespace platform
