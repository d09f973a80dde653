#pragma once
#include <cstdint>

#include "platform/window.h"

// The engine's small services that every layer may call: the settings the
// game makes before start-up, the program folder, the screen size, the window
// handle and style, the message hooks and the per-frame message pump with its
// frame limiter and statistics, the exit request and the message box. The run
// function that starts the layers is engine/startup/engine_main.h.

// EngineInitFlags: the layers that start-up starts and shut-down stops.
enum EngineInitFlags : unsigned {
    ENGINE_INIT_GRAPHICS = 0x1,  // always set
    ENGINE_INIT_INPUT = 0x2,
    ENGINE_INIT_SOUND = 0x4,
    ENGINE_INIT_MUSIC = 0x8,
    ENGINE_INIT_DIRECTSHOW = 0x10,
    ENGINE_INIT_DIRECTPLAY = 0x20,
    ENGINE_INIT_MEDIASTREAM = 0x40,
    ENGINE_INIT_MCI = 0x80,
    ENGINE_THREAD_MODE = 0x100,  // worker-thread table and a blocking message loop
};

using MessageHookCallback = void (*)(platform::WPARAM wParam, platform::LPARAM lParam);
struct MessageHook {
    uint32_t message;
    MessageHookCallback callback;
};
constexpr int kMaxMessageHooks = 64;

constexpr unsigned MB_ICONHAND = 0x10;  // message box type of every engine error

// Settings (the setters write them before start-up).
extern char appName[256];
extern int screenWidth, screenHeight;
extern int startupConsoleEnabled;
extern int captionedWindow;
extern int targetFrameRate;
extern int keepRunning;
extern int windowed;
extern int cursorVisible;
extern unsigned engineInitFlags;
extern int paintDrivenMode;
extern int showFpsInTitle;

// Run-time state.
extern platform::WindowHandle windowHandle;
extern int exitRequested;
extern platform::Message lastMessage;
extern char appFolder[4096];
extern MessageHook messageHooks[kMaxMessageHooks];
extern int messageHookCount;

// Frame timing and statistics.
extern int64_t timerFrequency;
extern int perfCounterAvailable;
extern uint32_t lastFrameTime;
extern int framesPerSecond, presentedFrames;
extern int primitivesPerSecond, primitiveCount;
extern uint32_t lastSecondTime;
extern int frameStatisticsStarted;  // lastSecondTime is set on the first frame

// Setters.
void SetAppName(const char* name);
void SetScreenSize(int width, int height);
void SetWindowed(int windowedMode);
void SetCursorVisible(int visible);
void SetFrameRate(int fps);
void SetInitFlags(unsigned flags);
void SetStartupConsole(int enable);
int AddMessageHook(unsigned message, MessageHookCallback callback);

// Getters and small services.
void GetScreenSize(int* width, int* height);
int IsPaintDrivenMode();
int IsWindowed();
platform::WindowHandle GetWindowHandle();
int IsThreadMode();
const char* GetAppFolder();
void RequestExit();
void AddPresentedFrames(int n);
void AddPrimitiveCount(int n);
void SetCurrentFolderToApp();
// The window's style from the settings (title, size, full screen, caption).
platform::WindowStyle CurrentWindowStyle();
void ApplyWindowStyle();

// Per frame: drains the message queue, waits for the frame's time; 0 when the
// program is to end.
int PumpMessages();
void WaitFrame();
// The window title of the frame statistics: "%s  FPS[%d] PPS[%d] PPF[%d]".
void FormatFrameStatistics(char* out, unsigned size);
int InitMultimediaTimer();

// Log and messages.
int ShowMessageBox(unsigned type, const char* caption, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
void LogSystemInfo();
