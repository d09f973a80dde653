// The engine's window: its creation and its procedure, which hands each
// message to the layer that handles it and then to the game's hooks.
#include "engine/core/log.h"
#include "engine/core/text_input.h"
#include "engine/core/worker_threads.h"
#include "engine/devices/input.h"
#include "engine/devices/media_directshow.h"
#include "engine/devices/media_mci.h"
#include "engine/startup/engine_main.h"

using platform::LPARAM;
using platform::LRESULT;
using platform::WindowHandle;
using platform::WPARAM;

namespace {

constexpr WPARAM kMciNotifySuccessful = 1;

int LowWord(LPARAM value) { return static_cast<int>(value & 0xFFFF); }
int HighWord(LPARAM value) { return static_cast<int>((value >> 16) & 0xFFFF); }

void HandleEngineMessage(WindowHandle window, uint32_t message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case platform::WM_CREATE:
            if (!cursorVisible) platform::ShowCursor(false);
            break;
        case platform::WM_DESTROY:
            if (!cursorVisible) platform::ShowCursor(true);
            platform::PostQuitMessage(0);
            break;
        case platform::WM_SIZE:
            if (paintDrivenMode) {
                screenWidth = LowWord(lParam);
                screenHeight = HighWord(lParam);
            }
            break;
        case platform::WM_PAINT:
            if (paintDrivenMode) RunGameFrame();
            break;
        case platform::WM_CLOSE:
            SuspendWorkerThreads();
            windowHandle = nullptr;
            platform::SendMessage(window, platform::WM_DESTROY, 0, 0);
            break;
        case platform::WM_ACTIVATEAPP:
            if (wParam) {
                ResumeWorkerThreads();
            } else {
                SuspendWorkerThreads();
            }
            break;
        case platform::WM_CHAR: AddTypedChar(static_cast<unsigned>(wParam)); break;
        case platform::WM_MOUSEWHEEL: AddMouseWheel(static_cast<int16_t>(HighWord(static_cast<LPARAM>(wParam)))); break;
        case platform::WM_LBUTTONDBLCLK: LatchLeftDoubleClick(); break;
        case platform::WM_RBUTTONDBLCLK: LatchRightDoubleClick(); break;
        case platform::WM_MBUTTONDBLCLK: LatchMiddleDoubleClick(); break;
        case platform::MM_MCINOTIFY:
            if (wParam == kMciNotifySuccessful) HandleMciNotify();
            break;
        case platform::WM_USER + 1: HandleDirectShowEvent(); break;
        default: break;
    }
}

}  // namespace

LRESULT WindowProc(WindowHandle window, uint32_t message, WPARAM wParam, LPARAM lParam) {
    HandleEngineMessage(window, message, wParam, lParam);
    // The count is read at every step: a hook may register further hooks.
    for (int i = 0; i < messageHookCount; ++i) {
        if (messageHooks[i].message == message) messageHooks[i].callback(wParam, lParam);
    }
    return platform::DefWindowProc(window, message, wParam, lParam);
}

int CreateAppWindow() {
    const char* reason = "";
    if (!platform::StartWindowSystem(&reason)) {
        WriteLog("  \x83\x47\x83\x89\x81\x5b : \x83\x45\x83\x42\x83\x93\x83\x68\x83\x45\x83\x4e\x83\x89\x83\x58\x82\xcc"
                 "\x93\x6f\x98\x5e\x82\xc9\x8e\xb8\x94\x73\x82\xb5\x82\xdc\x82\xb5\x82\xbd\n"  // エラー : ウィンドウクラスの登録に失敗しました
                 "    %s\n", reason);
        ShowMessageBox(MB_ICONHAND, "Error", "\x83\x45\x83\x42\x83\x93\x83\x68\x83\x45\x83\x4e\x83\x89\x83\x58\x82\xcc"
                       "\x83\x8c\x83\x57\x83\x58\x83\x67\x82\xc9\x8e\xb8\x94\x73");  // ウィンドウクラスのレジストに失敗
        return 0;
    }
    windowHandle = platform::CreateWindow(CurrentWindowStyle(), WindowProc, &reason);
    if (!windowHandle) {
        WriteLog("  \x83\x47\x83\x89\x81\x5b : \x83\x45\x83\x42\x83\x93\x83\x68\x83\x45\x82\xcc\x90\xb6\x90\xac\x82\xc9"
                 "\x8e\xb8\x94\x73\x82\xb5\x82\xdc\x82\xb5\x82\xbd\n"  // エラー : ウィンドウの生成に失敗しました
                 "    %s\n", reason);
        ShowMessageBox(MB_ICONHAND, "Error", "\x83\x45\x83\x42\x83\x93\x83\x68\x83\x45\x82\xcc\x90\xb6\x90\xac\x82\xc9"
                       "\x8e\xb8\x94\x73");  // ウィンドウの生成に失敗
        return 0;
    }
    platform::ShowWindow(windowHandle);
    ShowStartupStatus("\x81\xa1 Karo3rd Phase 10.22... 2005.02.20");
    ShowStartupStatus(" -> Create Window...");
    return 1;
}
