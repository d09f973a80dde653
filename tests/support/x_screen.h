#pragma once
// The X screen as a user sees it, for tests of the game's window: the root
// window's pixels, and a window found by its title minimised and restored
// through the window manager as a taskbar does. Xlib is loaded at run time,
// as the test keyboard loads it, so that a test can skip where it is missing.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace test {

// Pixels as 0xRRGGBB, top row first.
struct ScreenPicture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// A window's place on the screen and the size of its own area (no frame).
struct WindowPlace {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const WindowPlace&) const = default;
};

class XScreen {
public:
    XScreen();
    ~XScreen();
    XScreen(const XScreen&) = delete;
    XScreen& operator=(const XScreen&) = delete;

    bool Connect(const std::string& display);
    // The whole screen; empty when it cannot be read.
    ScreenPicture Capture();
    // The first window (depth first) whose name is `title`; 0 when none.
    unsigned long FindWindow(const std::string& title);
    // Asks the window manager to minimise the window, or to bring it back
    // and give it the focus.
    void Minimise(unsigned long window);
    void Restore(unsigned long window);
    // Where the window is; all zero when it cannot be read.
    WindowPlace Place(unsigned long window);
    // Whether the window's _NET_WM_STATE holds the named state.
    bool HasState(unsigned long window, const std::string& state);

private:
    struct Library;
    std::unique_ptr<Library> x_;
    void* display_ = nullptr;
    unsigned long FindBelow(unsigned long window, const std::string& title);
};

}  // namespace test
