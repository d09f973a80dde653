// A full-screen window on a real X server, with and without a window
// manager: it covers the screen from its first map, in the window manager's
// full-screen state where there is one, and a change to a window style takes
// it out of that state and to its windowed size.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "platform/window.h"
#include "tests/support/temp_dir.h"
#include "tests/support/x_screen.h"
#include "tests/support/x_session.h"

namespace {

using namespace std::chrono_literals;

constexpr const char* kTitle = "full screen test";
constexpr const char* kFullScreenState = "_NET_WM_STATE_FULLSCREEN";

// Sets an environment variable for the object's life.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment() {
        if (old_) {
            setenv(name_, old_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

// The window system, closed as the object goes (before the X server does:
// Xlib ends a process whose server goes away) and when it comes, in case
// another test started it on another driver.
struct FreshWindowSystem {
    FreshWindowSystem() { platform::CloseWindowSystem(); }
    ~FreshWindowSystem() { platform::CloseWindowSystem(); }
};

// Dispatches the window's messages until `done` holds or five seconds pass.
bool PumpUntil(const std::function<bool()>& done) {
    for (auto deadline = std::chrono::steady_clock::now() + 5s; std::chrono::steady_clock::now() < deadline;) {
        platform::Message message;
        while (platform::PeekMessage(&message)) platform::DispatchMessage(message);
        if (done()) return true;
        std::this_thread::sleep_for(10ms);
    }
    return done();
}

std::string Describe(const test::WindowPlace& place) {
    return std::to_string(place.width) + "x" + std::to_string(place.height) + " at (" + std::to_string(place.x) +
           ", " + std::to_string(place.y) + ")";
}

TEST(FullScreenWindow, CoversTheScreenFromItsFirstMapAndLeavesFullScreenForAWindowStyle) {
    for (bool windowManager : {false, true}) {
        SCOPED_TRACE(windowManager ? "with a window manager" : "without a window manager");
        if (!test::XSession::Available(windowManager)) {
            GTEST_SKIP() << "Xvfb, the XTest library or openbox is missing";
        }
        test::TempDir folder;
        test::XSession session(folder.path().string(), windowManager, "800x600");
        ASSERT_EQ(session.fault(), "");
        const ScopedEnvironment display("DISPLAY", session.display());
        const ScopedEnvironment driver("SDL_VIDEODRIVER", "x11");
        const FreshWindowSystem windowSystem;
        test::XScreen screen;
        ASSERT_TRUE(screen.Connect(session.display()));

        platform::WindowStyle style;
        style.title = kTitle;
        style.fullScreen = true;
        platform::WindowHandle window = platform::CreateWindow(style, platform::DefWindowProc);
        ASSERT_NE(window, nullptr);
        platform::ShowWindow(window);
        unsigned long id = 0;
        ASSERT_TRUE(PumpUntil([&] { return (id = screen.FindWindow(kTitle)) != 0; }));
        const test::WindowPlace wholeScreen{0, 0, 800, 600};
        EXPECT_TRUE(PumpUntil([&] { return screen.Place(id) == wholeScreen; })) << Describe(screen.Place(id));
        // The state is the window manager's to keep: without one nobody reads it.
        if (windowManager) {
            EXPECT_TRUE(screen.HasState(id, kFullScreenState));
        }

        style.fullScreen = false;
        style.captioned = true;
        platform::SetWindowStyle(window, style);
        EXPECT_TRUE(PumpUntil([&] {
            const test::WindowPlace place = screen.Place(id);
            const bool stillFullScreen = windowManager && screen.HasState(id, kFullScreenState);
            return place.width == 640 && place.height == 480 && !stillFullScreen;
        })) << Describe(screen.Place(id));
    }
}

}  // namespace
