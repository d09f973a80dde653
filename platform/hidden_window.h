#pragma once
// A hidden window with an OpenGL surface, for programs that render without
// showing anything (pixel tests, benchmarks). Under SDL_VIDEODRIVER=offscreen
// it needs no display.
namespace platform {

class HiddenGLWindow {
public:
    // Throws std::runtime_error when the video system or the window fails.
    HiddenGLWindow(int width, int height);
    ~HiddenGLWindow();
    HiddenGLWindow(const HiddenGLWindow&) = delete;
    HiddenGLWindow& operator=(const HiddenGLWindow&) = delete;
    // The SDL_Window*, as the application core's window handle is.
    void* handle() const { return window_; }

private:
    void* window_ = nullptr;
};

}  // namespace platform
