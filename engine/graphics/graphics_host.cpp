#include "engine/graphics/graphics_host.h"

#include <chrono>
#include <cstdio>
#include <thread>

namespace {

// Stands for the application core until its entry points are linked in; each
// body then becomes the one call named in its comment.
class CoreHost : public GraphicsHost {
public:
    void* Window() override { return nullptr; }  // GetWindowHandle()
    void ScreenSize(int* width, int* height) override {  // GetScreenSize(width, height)
        *width = 640;
        *height = 480;
    }
    void DesktopSize(int* width, int* height) override { ScreenSize(width, height); }
    bool Windowed() override { return windowed_; }                  // IsWindowed()
    bool PaintDriven() override { return false; }                   // IsPaintDrivenMode()
    bool ThreadMode() override { return false; }                    // IsThreadMode()
    void FallBackToWindow() override { windowed_ = true; }          // SetWindowed(1); ApplyWindowStyle()
    void AddPresentedFrames(int) override {}                        // AddPresentedFrames(n)
    void AddPrimitiveCount(int) override {}                         // AddPrimitiveCount(n)
    void RequestExit() override {}                                  // RequestExit()
    void ShowErrorBox(const char* caption, const char* text) override {  // ShowMessageBox(MB_ICONHAND, ...)
        std::fprintf(stderr, "%s: %s\n", caption, text);
    }
    void Sleep(uint32_t milliseconds) override {                    // platform::Sleep(milliseconds)
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }

private:
    bool windowed_ = true;
};

CoreHost coreHost;
GraphicsHost* currentHost = &coreHost;

}  // namespace

GraphicsHost& GetGraphicsHost() { return *currentHost; }
void SetGraphicsHost(GraphicsHost* host) { currentHost = host ? host : &coreHost; }
