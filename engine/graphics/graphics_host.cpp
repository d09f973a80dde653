#include "engine/graphics/graphics_host.h"

#include "engine/core/application.h"
#include "platform/system.h"

namespace {

// The application core's own entry points.
class CoreHost : public GraphicsHost {
public:
    void* Window() override { return GetWindowHandle(); }
    void ScreenSize(int* width, int* height) override { GetScreenSize(width, height); }
    bool Windowed() override { return IsWindowed() != 0; }
    bool PaintDriven() override { return IsPaintDrivenMode() != 0; }
    bool ThreadMode() override { return IsThreadMode() != 0; }
    void FallBackToWindow() override {
        SetWindowed(1);
        ApplyWindowStyle();
    }
    void AddPresentedFrames(int n) override { ::AddPresentedFrames(n); }
    void AddPrimitiveCount(int n) override { ::AddPrimitiveCount(n); }
    void RequestExit() override { ::RequestExit(); }
    void ShowErrorBox(const char* caption, const char* text) override {
        ShowMessageBox(MB_ICONHAND, caption, "%s", text);
    }
    void Sleep(uint32_t milliseconds) override { platform::Sleep(milliseconds); }
};

CoreHost coreHost;
GraphicsHost* currentHost = &coreHost;

}  // namespace

GraphicsHost& GetGraphicsHost() { return *currentHost; }
void SetGraphicsHost(GraphicsHost* host) { currentHost = host ? host : &coreHost; }
