#include "platform/hidden_window.h"

#include <SDL.h>

#include <stdexcept>
#include <string>

namespace platform {

HiddenGLWindow::HiddenGLWindow(int width, int height) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) throw std::runtime_error(std::string("SDL video: ") + SDL_GetError());
    window_ = SDL_CreateWindow("hidden", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height,
                               SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!window_) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        throw std::runtime_error(std::string("SDL window: ") + SDL_GetError());
    }
}

HiddenGLWindow::~HiddenGLWindow() {
    SDL_DestroyWindow(static_cast<SDL_Window*>(window_));
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

}  // namespace platform
