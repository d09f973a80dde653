#pragma once
// What the graphics layer needs of the application core (the window, the
// screen settings, the frame counters, quitting, message boxes, sleeping),
// behind one small interface so the device code runs under a fake host in
// tests. The default host forwards to the application core.
#include <cstdint>

class GraphicsHost {
public:
    virtual ~GraphicsHost() = default;
    virtual void* Window() = 0;                        // the SDL window, or null
    virtual void ScreenSize(int* width, int* height) = 0;
    virtual bool Windowed() = 0;
    virtual bool PaintDriven() = 0;
    virtual bool ThreadMode() = 0;
    // Full screen is not available: run in a window (SetWindowed(1) and
    // ApplyWindowStyle of the application core).
    virtual void FallBackToWindow() = 0;
    virtual void AddPresentedFrames(int n) = 0;
    virtual void AddPrimitiveCount(int n) = 0;
    // Sets the exit request and posts WM_CLOSE to the window.
    virtual void RequestExit() = 0;
    // An error box with the hand icon; texts are CP932.
    virtual void ShowErrorBox(const char* caption, const char* text) = 0;
    virtual void Sleep(uint32_t milliseconds) = 0;
};

GraphicsHost& GetGraphicsHost();
// Installs a host (tests); null restores the application core's.
void SetGraphicsHost(GraphicsHost* host);
