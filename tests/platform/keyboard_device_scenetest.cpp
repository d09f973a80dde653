// The keyboard device on a real X server: a key that goes down while the
// program sleeps between frames (nothing pumps the window system's events)
// is in the very next read. The key is a real X event typed through XTest
// on an Xvfb server of the test's own.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <thread>

#include "platform/keyboard_device.h"
#include "platform/window.h"
#include "tests/support/temp_dir.h"
#include "tests/support/x_session.h"

namespace {

using namespace std::chrono_literals;

constexpr int kDirectInputZ = 0x2C;

TEST(KeyboardDeviceOnXServer, AKeyPressedWhileTheFrameSleepsIsInTheNextRead) {
    if (!test::XSession::Available(false)) GTEST_SKIP() << "Xvfb or the XTest library is missing";
    test::TempDir folder;
    test::XSession session(folder.path().string(), false);
    ASSERT_EQ(session.fault(), "");
    setenv("DISPLAY", session.display().c_str(), 1);
    setenv("SDL_VIDEODRIVER", "x11", 1);
    const char* error = "";
    ASSERT_TRUE(platform::StartWindowSystem(&error)) << error;
    // The whole screen, so that the test's pointer is over it.
    SDL_Window* window = SDL_CreateWindow("keys", 0, 0, 640, 480, SDL_WINDOW_SHOWN);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (SDL_GetKeyboardFocus() != window && std::chrono::steady_clock::now() < deadline) {
        SDL_SetWindowInputFocus(window);
        SDL_PumpEvents();
        std::this_thread::sleep_for(20ms);
    }
    ASSERT_EQ(SDL_GetKeyboardFocus(), window);

    const struct {
        bool down;
        uint8_t expected;
    } steps[] = {{true, 0x80}, {false, 0}, {true, 0x80}, {false, 0}};
    uint8_t keys[256];
    ASSERT_TRUE(platform::ReadKeyboardDevice(keys));
    EXPECT_EQ(keys[kDirectInputZ], 0);
    for (const auto& step : steps) {
        session.keys().Press(test::XK_z, step.down);
        std::this_thread::sleep_for(100ms);  // the frame's sleep
        ASSERT_TRUE(platform::ReadKeyboardDevice(keys));
        EXPECT_EQ(keys[kDirectInputZ], step.expected) << (step.down ? "pressed" : "released");
    }
    SDL_DestroyWindow(window);
    platform::CloseWindowSystem();
}

}  // namespace
