#include <gtest/gtest.h>

#include "engine/devices/input.h"
#include "engine/startup/engine_main.h"
#include "tests/engine/core/application_fixture.h"

namespace {

std::vector<std::string> calls;

void HookA(platform::WPARAM wParam, platform::LPARAM) { calls.push_back("A" + std::to_string(wParam)); }
void HookB(platform::WPARAM wParam, platform::LPARAM) { calls.push_back("B" + std::to_string(wParam)); }
void HookAddsHook(platform::WPARAM, platform::LPARAM) {
    calls.push_back("adder");
    AddMessageHook(platform::WM_KEYDOWN, HookB);
}
void IgnoreMessage(platform::WPARAM, platform::LPARAM) {}

// What a WM_CLOSE hook sees: the engine has already handled the message
// (window handle cleared, WM_DESTROY delivered), the default handling has not
// (the window still takes messages).
platform::WindowHandle closingWindow;
void HookSeesCloseState(platform::WPARAM, platform::LPARAM) {
    calls.push_back(std::string("close handle=") + (windowHandle ? "set" : "null") + " alive=" +
                    (platform::PostMessage(closingWindow, platform::WM_USER + 9, 0, 0) ? "yes" : "no"));
}
void HookOnDestroy(platform::WPARAM, platform::LPARAM) { calls.push_back("destroy"); }

class WindowProcTest : public test::ApplicationTest {
protected:
    void SetUp() override {
        test::ApplicationTest::SetUp();
        calls.clear();
    }
    void OpenWindow() {
        ASSERT_TRUE(CreateAppWindow());
        closingWindow = windowHandle;
    }
};

TEST_F(WindowProcTest, TheSixtyFifthHookIsRefused) {
    for (int i = 0; i < kMaxMessageHooks; ++i) ASSERT_EQ(AddMessageHook(platform::WM_USER, IgnoreMessage), 1) << i;
    EXPECT_EQ(AddMessageHook(platform::WM_KEYDOWN, HookA), 0);
    EXPECT_EQ(messageHookCount, kMaxMessageHooks);
    WindowProc(nullptr, platform::WM_KEYDOWN, 1, 0);
    EXPECT_TRUE(calls.empty());
}

TEST_F(WindowProcTest, HooksOfTheMessageRunInRegistrationOrder) {
    AddMessageHook(platform::WM_KEYDOWN, HookB);
    AddMessageHook(platform::WM_CHAR, HookA);
    AddMessageHook(platform::WM_KEYDOWN, HookA);
    WindowProc(nullptr, platform::WM_KEYDOWN, 27, 0);
    EXPECT_EQ(calls, (std::vector<std::string>{"B27", "A27"}));
}

TEST_F(WindowProcTest, AHookAddedByAHookRunsInTheSameDispatch) {
    AddMessageHook(platform::WM_KEYDOWN, HookAddsHook);
    WindowProc(nullptr, platform::WM_KEYDOWN, 5, 0);
    EXPECT_EQ(calls, (std::vector<std::string>{"adder", "B5"}));
}

TEST_F(WindowProcTest, HooksRunAfterTheEngineAndBeforeTheDefaultHandling) {
    OpenWindow();
    AddMessageHook(platform::WM_DESTROY, HookOnDestroy);
    AddMessageHook(platform::WM_CLOSE, HookSeesCloseState);
    platform::SendMessage(closingWindow, platform::WM_CLOSE, 0, 0);
    EXPECT_EQ(calls, (std::vector<std::string>{"destroy", "close handle=null alive=yes"}));
    EXPECT_FALSE(platform::PostMessage(closingWindow, platform::WM_USER, 0, 0));
}

TEST_F(WindowProcTest, RequestExitEndsThePumpWithinOneFrame) {
    OpenWindow();
    AddMessageHook(platform::WM_DESTROY, HookOnDestroy);
    EXPECT_EQ(PumpMessages(), 1);
    RequestExit();
    EXPECT_EQ(exitRequested, 1);
    EXPECT_EQ(PumpMessages(), 0);
    EXPECT_EQ(windowHandle, nullptr);
    EXPECT_EQ(lastMessage.message, platform::WM_QUIT);
    EXPECT_EQ(lastMessage.wParam, 0u);
    EXPECT_EQ(calls, std::vector<std::string>{"destroy"});
    EXPECT_EQ(PumpMessages(), 0);  // stays ended
}

TEST_F(WindowProcTest, KeyDownHooksSeeEveryKeyPress) {
    OpenWindow();
    AddMessageHook(platform::WM_KEYDOWN, HookA);
    platform::PostMessage(windowHandle, platform::WM_KEYDOWN, 32, 0);
    platform::PostMessage(windowHandle, platform::WM_KEYUP, 32, 0);
    platform::PostMessage(windowHandle, platform::WM_KEYDOWN, 27, 1 << 30);
    EXPECT_EQ(PumpMessages(), 1);
    EXPECT_EQ(calls, (std::vector<std::string>{"A32", "A27"}));
}

// The wheel delta is the signed high word of wParam.
TEST_F(WindowProcTest, MouseMessagesReachTheInputLayer) {
    inputDevices.mouseState.wheel = 0;
    inputDevices.rightDoubleClickLatch = 0;
    WindowProc(nullptr, platform::WM_MOUSEWHEEL, platform::WPARAM{0xFF88} << 16, 0);  // -120
    WindowProc(nullptr, platform::WM_MOUSEWHEEL, platform::WPARAM{240} << 16 | 0x8, 0);
    EXPECT_EQ(inputDevices.mouseState.wheel, 120);
    WindowProc(nullptr, platform::WM_RBUTTONDBLCLK, 0, 0);
    EXPECT_EQ(inputDevices.rightDoubleClickLatch, 1u);
}

TEST_F(WindowProcTest, SetInitFlagsAlwaysAddsGraphics) {
    SetInitFlags(0);
    EXPECT_EQ(engineInitFlags, ENGINE_INIT_GRAPHICS);
    SetInitFlags(ENGINE_INIT_SOUND | ENGINE_THREAD_MODE);
    EXPECT_EQ(engineInitFlags, ENGINE_INIT_GRAPHICS | ENGINE_INIT_SOUND | ENGINE_THREAD_MODE);
    EXPECT_EQ(IsThreadMode(), 1);
}

TEST_F(WindowProcTest, TextsAreBoundedAtACharacterBoundary) {
    std::string name(254, 'n');
    SetAppName((name + "\x82\xa0").c_str());  // the two-byte character would need bytes 255 and 256
    EXPECT_EQ(std::string(appName), name);

    OpenWindow();  // the console keeps lines only while a window exists
    int shown = startupLineCount;
    std::string longLine(200, 'x');
    ShowStartupStatus(longLine.c_str());
    EXPECT_EQ(std::string(startupLines[shown]), longLine.substr(0, kStartupLineSize - 1));
    for (int i = 0; i < 40; ++i) ShowStartupStatus(("line " + std::to_string(i)).c_str());
    EXPECT_EQ(startupLineCount, kStartupLineCount);
    EXPECT_STREQ(startupLines[kStartupLineCount - 1], "line 39");
    EXPECT_STREQ(startupLines[0], "line 8");
}

}  // namespace
