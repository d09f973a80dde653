#include "engine/core/application.h"

#include <cstring>

#include "engine/core/cp932_text.h"
#include "engine/core/log.h"
#include "platform/system.h"

char appName[256] = "Karo";
int screenWidth = 640, screenHeight = 480;
int startupConsoleEnabled = 1;
int captionedWindow = 1;
int targetFrameRate = 60;
int keepRunning = 1;
int windowed = 0;
int cursorVisible = 0;
unsigned engineInitFlags = 0;
int paintDrivenMode = 0;
int showFpsInTitle = 0;

platform::WindowHandle windowHandle = nullptr;
int exitRequested = 0;
platform::Message lastMessage;
char appFolder[4096] = "";
MessageHook messageHooks[kMaxMessageHooks];
int messageHookCount = 0;

namespace {

char appFolderCopy[sizeof appFolder];

void DispatchPending() {
    platform::TranslateMessage(lastMessage);
    platform::DispatchMessage(lastMessage);
}

}  // namespace

void SetAppName(const char* name) { CopyCp932Text(appName, sizeof appName, name); }

void SetScreenSize(int width, int height) {
    screenWidth = width;
    screenHeight = height;
}

void SetWindowed(int windowedMode) { windowed = windowedMode; }
void SetCursorVisible(int visible) { cursorVisible = visible; }
void SetFrameRate(int fps) { targetFrameRate = fps; }
void SetInitFlags(unsigned flags) { engineInitFlags = flags | ENGINE_INIT_GRAPHICS; }
void SetStartupConsole(int enable) { startupConsoleEnabled = enable; }

void GetScreenSize(int* width, int* height) {
    if (width) *width = screenWidth;
    if (height) *height = screenHeight;
}

int IsPaintDrivenMode() { return paintDrivenMode; }
int IsWindowed() { return windowed; }
platform::WindowHandle GetWindowHandle() { return windowHandle; }
int IsThreadMode() { return (engineInitFlags & ENGINE_THREAD_MODE) ? 1 : 0; }

const char* GetAppFolder() {
    std::memcpy(appFolderCopy, appFolder, sizeof appFolder);
    return appFolderCopy;
}

// Before the window exists nothing can receive WM_CLOSE: the flag alone ends
// the start-up.
void RequestExit() {
    exitRequested = 1;
    if (windowHandle) platform::PostMessage(windowHandle, platform::WM_CLOSE, 0, 0);
}

void SetCurrentFolderToApp() {
    CopyCp932Text(appFolder, sizeof appFolder, platform::ProgramFolder().c_str());
    platform::SetCurrentFolder(appFolder);
}

platform::WindowStyle CurrentWindowStyle() {
    platform::WindowStyle style;
    style.title = appName;
    style.width = screenWidth;
    style.height = screenHeight;
    style.fullScreen = !windowed;
    style.captioned = captionedWindow != 0;
    style.resizable = paintDrivenMode && windowed;
    return style;
}

void ApplyWindowStyle() {
    platform::WindowStyle style = CurrentWindowStyle();
    style.captioned = true;
    platform::SetWindowStyle(windowHandle, style);
}

int AddMessageHook(unsigned message, MessageHookCallback callback) {
    if (messageHookCount >= kMaxMessageHooks) return 0;
    messageHooks[messageHookCount++] = {message, callback};
    return 1;
}

int PumpMessages() {
    if (IsThreadMode()) {
        while (platform::GetMessage(&lastMessage)) DispatchPending();
        return 0;
    }
    while (platform::PeekMessage(&lastMessage)) {
        if (lastMessage.message == platform::WM_QUIT) {
            keepRunning = 0;
            break;
        }
        DispatchPending();
    }
    WaitFrame();
    return keepRunning;
}
