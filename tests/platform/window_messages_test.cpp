#include <SDL2/SDL.h>  // the test drives the window system with its own events
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <vector>

#include "platform/keyboard.h"
#include "platform/system.h"
#include "platform/window.h"

namespace {

using platform::Message;

std::vector<Message> received;

platform::LRESULT RecordingProcedure(platform::WindowHandle window, uint32_t message, platform::WPARAM wParam,
                                     platform::LPARAM lParam) {
    received.push_back({window, message, wParam, lParam});
    return platform::DefWindowProc(window, message, wParam, lParam);
}

// A real window on the offscreen driver, whose procedure records every
// message it receives.
class WindowMessagesTest : public testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        received.clear();
        platform::WindowStyle style;
        style.title = "test";
        window = platform::CreateWindow(style, RecordingProcedure);
        ASSERT_NE(window, nullptr);
        windowId = SDL_GetWindowID(static_cast<SDL_Window*>(window));
        Drain();
        received.clear();
    }
    void TearDown() override { platform::CloseWindowSystem(); }

    // Takes every pending message and dispatches it as the engine's pump does.
    std::vector<Message> Drain() {
        std::vector<Message> taken;
        Message message;
        while (platform::PeekMessage(&message)) {
            taken.push_back(message);
            platform::TranslateMessage(message);
            platform::DispatchMessage(message);
        }
        return taken;
    }

    std::vector<Message> DrainOf(uint32_t kind) {
        std::vector<Message> matching;
        for (const Message& m : Drain()) {
            if (m.message == kind) matching.push_back(m);
        }
        return matching;
    }

    void PushKey(Uint32 type, SDL_Scancode scancode, Uint16 mod, bool repeat) {
        SDL_Event event{};
        event.key.type = type;
        event.key.windowID = windowId;
        event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.key.repeat = repeat;
        event.key.keysym.scancode = scancode;
        event.key.keysym.mod = mod;
        SDL_PushEvent(&event);
    }

    platform::WindowHandle window = nullptr;
    Uint32 windowId = 0;
};

TEST_F(WindowMessagesTest, CreationSendsCreateBeforeReturning) {
    platform::CloseWindowSystem();
    received.clear();
    platform::WindowStyle style;
    window = platform::CreateWindow(style, RecordingProcedure);
    ASSERT_NE(window, nullptr);
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received[0].message, platform::WM_CREATE);
    EXPECT_EQ(received[0].window, window);
}

TEST_F(WindowMessagesTest, PostedMessagesArriveInOrderAndQuitHasNoWindow) {
    platform::PostMessage(window, platform::WM_USER + 1, 11, 12);
    platform::PostMessage(window, platform::WM_USER + 2, 21, 22);
    platform::PostQuitMessage(3);
    std::vector<Message> taken = Drain();
    ASSERT_EQ(taken.size(), 3u);
    EXPECT_EQ(taken[0].message, platform::WM_USER + 1u);
    EXPECT_EQ(taken[0].wParam, 11u);
    EXPECT_EQ(taken[1].lParam, 22);
    EXPECT_EQ(taken[2].message, platform::WM_QUIT);
    EXPECT_EQ(taken[2].window, nullptr);
    EXPECT_EQ(taken[2].wParam, 3u);
    ASSERT_EQ(received.size(), 2u);  // WM_QUIT reaches no procedure
}

TEST_F(WindowMessagesTest, CloseDestroysOnceAndSilencesTheWindow) {
    platform::PostMessage(window, platform::WM_CLOSE, 0, 0);
    Drain();
    int destroys = 0;
    for (const Message& m : received) destroys += m.message == platform::WM_DESTROY;
    EXPECT_EQ(destroys, 1);
    received.clear();
    EXPECT_FALSE(platform::PostMessage(window, platform::WM_USER, 0, 0));
    EXPECT_EQ(platform::SendMessage(window, platform::WM_USER, 0, 0), 0);
    platform::DestroyWindow(window);
    EXPECT_TRUE(received.empty());
}

TEST_F(WindowMessagesTest, KeysBecomeVirtualKeyMessages) {
    struct Case {
        const char* name;
        Uint32 type;
        SDL_Scancode scancode;
        Uint16 mod;
        bool repeat;
        uint32_t message;
        platform::WPARAM vk;
        platform::LPARAM lParam;
    };
    constexpr platform::LPARAM kWasDown = platform::LPARAM{1} << 30;
    constexpr platform::LPARAM kReleased = platform::LPARAM{1} << 31;
    constexpr platform::LPARAM kAlt = platform::LPARAM{1} << 29;
    const Case cases[] = {
        {"escape", SDL_KEYDOWN, SDL_SCANCODE_ESCAPE, 0, false, platform::WM_KEYDOWN, 27, 1},
        {"repeat", SDL_KEYDOWN, SDL_SCANCODE_SPACE, 0, true, platform::WM_KEYDOWN, 32, 1 | kWasDown},
        {"release", SDL_KEYUP, SDL_SCANCODE_Z, 0, false, platform::WM_KEYUP, 'Z', 1 | kWasDown | kReleased},
        {"alt", SDL_KEYDOWN, SDL_SCANCODE_X, KMOD_LALT, false, platform::WM_SYSKEYDOWN, 'X', 1 | kAlt},
        {"f10", SDL_KEYDOWN, SDL_SCANCODE_F10, 0, false, platform::WM_SYSKEYDOWN, 0x79, 1},
        {"digit", SDL_KEYDOWN, SDL_SCANCODE_0, 0, false, platform::WM_KEYDOWN, '0', 1},
    };
    for (const Case& c : cases) {
        PushKey(c.type, c.scancode, c.mod, c.repeat);
        std::vector<Message> keys = DrainOf(c.message);
        ASSERT_EQ(keys.size(), 1u) << c.name;
        EXPECT_EQ(keys[0].wParam, c.vk) << c.name;
        EXPECT_EQ(keys[0].lParam, c.lParam) << c.name;
        EXPECT_EQ(keys[0].window, window) << c.name;
    }
}

TEST_F(WindowMessagesTest, ControlKeysAreTranslatedToCharacters) {
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_BACKSPACE, 0, false);
    PushKey(SDL_KEYDOWN, SDL_SCANCODE_A, 0, false);  // letters come as text input
    std::vector<Message> chars = DrainOf(platform::WM_CHAR);
    ASSERT_EQ(chars.size(), 1u);
    EXPECT_EQ(chars[0].wParam, 8u);
}

TEST_F(WindowMessagesTest, TextArrivesAsCp932BytesLeadByteFirst) {
    SDL_Event event{};
    event.text.type = SDL_TEXTINPUT;
    event.text.windowID = windowId;
    SDL_strlcpy(event.text.text, "a\xE3\x81\x82", sizeof event.text.text);  // "aあ"
    SDL_PushEvent(&event);
    std::vector<Message> chars = DrainOf(platform::WM_CHAR);
    ASSERT_EQ(chars.size(), 3u);
    EXPECT_EQ(chars[0].wParam, 'a');
    EXPECT_EQ(chars[1].wParam, 0x82u);
    EXPECT_EQ(chars[2].wParam, 0xA0u);
}

TEST_F(WindowMessagesTest, WheelDeltaIsInTheHighWord) {
    struct Case {
        Sint32 y;
        Uint32 direction;
        int16_t delta;
    };
    for (const Case& c : {Case{1, SDL_MOUSEWHEEL_NORMAL, 120}, Case{-2, SDL_MOUSEWHEEL_NORMAL, -240},
                          Case{1, SDL_MOUSEWHEEL_FLIPPED, -120}, Case{400, SDL_MOUSEWHEEL_NORMAL, 32767}}) {
        SDL_Event event{};
        event.wheel.type = SDL_MOUSEWHEEL;
        event.wheel.windowID = windowId;
        event.wheel.y = c.y;
        event.wheel.direction = c.direction;
        SDL_PushEvent(&event);
        std::vector<Message> wheels = DrainOf(platform::WM_MOUSEWHEEL);
        ASSERT_EQ(wheels.size(), 1u) << c.y;
        EXPECT_EQ(static_cast<int16_t>(wheels[0].wParam >> 16), c.delta) << c.y;
    }
}

TEST_F(WindowMessagesTest, EverySecondClickIsADoubleClick) {
    struct Case {
        Uint8 button, clicks;
        uint32_t message;  // 0: no double click
    };
    for (const Case& c : {Case{SDL_BUTTON_LEFT, 1, 0}, Case{SDL_BUTTON_LEFT, 2, platform::WM_LBUTTONDBLCLK},
                          Case{SDL_BUTTON_LEFT, 3, 0}, Case{SDL_BUTTON_RIGHT, 2, platform::WM_RBUTTONDBLCLK},
                          Case{SDL_BUTTON_MIDDLE, 4, platform::WM_MBUTTONDBLCLK}}) {
        SDL_Event event{};
        event.button.type = SDL_MOUSEBUTTONDOWN;
        event.button.windowID = windowId;
        event.button.button = c.button;
        event.button.clicks = c.clicks;
        SDL_PushEvent(&event);
        std::vector<Message> taken = Drain();
        size_t doubles = 0;
        for (const Message& m : taken) {
            if (m.message == platform::WM_LBUTTONDBLCLK || m.message == platform::WM_RBUTTONDBLCLK ||
                m.message == platform::WM_MBUTTONDBLCLK) {
                ++doubles;
                EXPECT_EQ(m.message, c.message);
            }
        }
        EXPECT_EQ(doubles, c.message ? 1u : 0u) << int(c.button) << " " << int(c.clicks);
    }
}

// A window larger than its client area (full screen) shows the picture
// scaled and centred; the points of mouse messages are the picture's.
TEST_F(WindowMessagesTest, MousePointsInAScaledWindowAreThePicturesPoints) {
    SDL_SetWindowSize(static_cast<SDL_Window*>(window), 1280, 720);  // the picture: 960x720 from x 160
    Drain();
    const struct {
        int x, y, clientX, clientY;
    } cases[] = {{160, 0, 0, 0}, {1119, 719, 639, 479}, {640, 360, 320, 240}, {0, 0, -106, 0}};
    for (const auto& c : cases) {
        SDL_Event event{};
        event.button.type = SDL_MOUSEBUTTONDOWN;
        event.button.windowID = windowId;
        event.button.button = SDL_BUTTON_LEFT;
        event.button.clicks = 2;
        event.button.x = c.x;
        event.button.y = c.y;
        SDL_PushEvent(&event);
        const std::vector<Message> clicks = DrainOf(platform::WM_LBUTTONDBLCLK);
        ASSERT_EQ(clicks.size(), 1u);
        EXPECT_EQ(static_cast<int16_t>(clicks[0].lParam & 0xFFFF), c.clientX) << c.x << ", " << c.y;
        EXPECT_EQ(static_cast<int16_t>(clicks[0].lParam >> 16 & 0xFFFF), c.clientY) << c.x << ", " << c.y;
    }
}

TEST(FitPicture, ScalesByTheFactorThatKeepsAllOfThePictureAndCentresIt) {
    const struct {
        int areaWidth, areaHeight;
        platform::PictureArea expected;
    } cases[] = {
        {640, 480, {0, 0, 640, 480}},    {1024, 768, {0, 0, 1024, 768}}, {1280, 720, {160, 0, 960, 720}},
        {800, 1000, {0, 200, 800, 600}}, {1366, 768, {171, 0, 1024, 768}}, {0, 480, {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        const platform::PictureArea area = platform::FitPicture(c.areaWidth, c.areaHeight, 640, 480);
        EXPECT_EQ(area.x, c.expected.x) << c.areaWidth << "x" << c.areaHeight;
        EXPECT_EQ(area.y, c.expected.y) << c.areaWidth << "x" << c.areaHeight;
        EXPECT_EQ(area.width, c.expected.width) << c.areaWidth << "x" << c.areaHeight;
        EXPECT_EQ(area.height, c.expected.height) << c.areaWidth << "x" << c.areaHeight;
    }
}

TEST_F(WindowMessagesTest, WindowSystemEventsBecomeWindowMessages) {
    struct Case {
        const char* name;
        Uint32 type;
        Uint8 windowEvent;
        uint32_t message;
        platform::WPARAM wParam;
    };
    const Case cases[] = {
        {"focus", SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_GAINED, platform::WM_ACTIVATEAPP, 1},
        {"blur", SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_LOST, platform::WM_ACTIVATEAPP, 0},
        {"closeBox", SDL_WINDOWEVENT, SDL_WINDOWEVENT_CLOSE, platform::WM_CLOSE, 0},
    };
    for (const Case& c : cases) {
        SDL_Event event{};
        event.window.type = c.type;
        event.window.windowID = windowId;
        event.window.event = c.windowEvent;
        SDL_PushEvent(&event);
        std::vector<Message> taken = DrainOf(c.message);
        ASSERT_EQ(taken.size(), 1u) << c.name;
        EXPECT_EQ(taken[0].wParam, c.wParam) << c.name;
    }
}

TEST_F(WindowMessagesTest, QuitEventAndSignalsCloseTheWindow) {
    SDL_Event event{};
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
    EXPECT_EQ(DrainOf(platform::WM_CLOSE).size(), 1u);

    SetUp();
    platform::InstallQuitSignalHandlers();
    std::raise(SIGTERM);
    std::vector<Message> closes = DrainOf(platform::WM_CLOSE);
    ASSERT_EQ(closes.size(), 1u);
    EXPECT_EQ(closes[0].window, window);
    std::signal(SIGTERM, SIG_DFL);
}

TEST_F(WindowMessagesTest, AQuitSignalWaitsForAWindow) {
    platform::CloseWindowSystem();
    platform::InstallQuitSignalHandlers();
    std::raise(SIGINT);
    Message message;
    EXPECT_FALSE(platform::PeekMessage(&message));
    platform::WindowStyle style;
    window = platform::CreateWindow(style, RecordingProcedure);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(DrainOf(platform::WM_CLOSE).size(), 1u);
    std::signal(SIGINT, SIG_DFL);
}

}  // namespace
