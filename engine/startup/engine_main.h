#pragma once
#include <cstdint>

#include "engine/core/application.h"

// The engine's run function, above every layer it starts: the single-instance
// guard, the window and its procedure (which hands messages to the layers and
// then to the game's hooks), the ordered start and stop of the layers chosen
// by the start-up flags, and the start-up console painted while they start.

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

// The layer groups in start-up order; shut-down stops them in reverse order.
extern EngineLayer engineLayers[kEngineLayerCount];

constexpr int kStartupLineCount = 32;
constexpr int kStartupLineSize = 128;  // 127 characters and the terminating zero

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

// Start-up and shut-down of the layers by engineInitFlags.
int InitializeEngine();
void ShutdownEngine();
int CreateAppWindow();

// Window procedure: the engine's handling, then the hooks of the message in
// registration order, then the default handling.
platform::LRESULT WindowProc(platform::WindowHandle window, uint32_t message, platform::WPARAM wParam,
                             platform::LPARAM lParam);

// Keeps a console line and paints the console.
void ShowStartupStatus(const char* text);
// Paints every console line kept so far into the back buffer and presents
// it; does nothing while the console is off or no graphics device exists.
void PaintStartupConsole();
