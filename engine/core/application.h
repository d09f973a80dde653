#pragma once
#include <cstdint>

#include "platform/window.h"

// The engine's run function and the state around it: the settings the game
// makes before start-up, the single-instance guard, the window and its
// procedure with up to 64 message hooks, the ordered start and stop of the
// layers chosen by the start-up flags, and the per-frame message pump with its
// frame limiter and statistics.

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

// One group of layers switched by a start-up flag: its console line (shown
// before or after the start), its start (0 = failed) and its stop.
struct EngineLayer {
    unsigned bit;
    const char* consoleLine;
    bool lineBeforeStart;
    int (*start)();
    void (*stop)();
};
constexpr int kEngineLayerCount = 8;

constexpr int kStartupLineCount = 32;
constexpr int kStartupLineSize = 128;  // 127 characters and the terminating zero

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

// The layer groups in start-up order; shut-down stops them in reverse order.
extern EngineLayer engineLayers[kEngineLayerCount];

// Frame timing and statistics.
extern int64_t timerFrequency;
extern int perfCounterAvailable;
extern uint32_t lastFrameTime;
extern int framesPerSecond, presentedFrames;
extern int primitivesPerSecond, primitiveCount;
extern uint32_t lastSecondTime;
extern int frameStatisticsStarted;  // lastSecondTime is set on the first frame

// Start-up console: the status lines shown while the engine starts.
extern char startupLines[kStartupLineCount][kStartupLineSize];
extern int8_t startupLineCount;

// The game's two functions: configuration before any window exists (it calls
// the setters) and its main loop (it calls PumpMessages once per frame).
using ConfigureFunction = void (*)();
using RunFunction = void (*)();

// Runs the whole program; returns the exit code (the wParam of the last message).
int EngineMain(ConfigureFunction configure, RunFunction run);

// Calls the game's main loop once (each WM_PAINT of the paint-driven mode).
void RunGameFrame();

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
void ApplyWindowStyle();

// Start-up and shut-down of the layers by engineInitFlags.
int InitializeEngine();
void ShutdownEngine();
int CreateAppWindow();

// Window procedure: the engine's handling, then the hooks of the message in
// registration order, then the default handling.
platform::LRESULT WindowProc(platform::WindowHandle window, uint32_t message, platform::WPARAM wParam,
                             platform::LPARAM lParam);

// Per frame: drains the message queue, waits for the frame's time; 0 when the
// program is to end.
int PumpMessages();
void WaitFrame();
// The window title of the frame statistics: "%s  FPS[%d] PPS[%d] PPF[%d]".
void FormatFrameStatistics(char* out, unsigned size);
int InitMultimediaTimer();

// Log, messages and start-up console.
int ShowMessageBox(unsigned type, const char* caption, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
void ShowStartupStatus(const char* text);
// Paints every console line kept so far into the back buffer and presents
// it; does nothing while the console is off or no graphics device exists.
void PaintStartupConsole();
void LogSystemInfo();
