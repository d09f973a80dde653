#pragma once
// A device on the null backend that records the calls the engine makes, and
// a Direct3D object whose adapter (formats, modes, capabilities, failing
// device creations) a test scripts. Also a graphics host that records what
// the device layer asks of the application core.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/graphics/graphics_host.h"
#include "platform/d3d/soft_device.h"

namespace test {

struct DeviceCall {
    std::string name;              // "SetRenderState", "DrawPrimitiveUP", ...
    std::vector<uint32_t> args;    // numbers in call order
    std::vector<uint8_t> vertices; // DrawPrimitiveUP's vertex bytes
    std::vector<float> matrix;     // SetTransform's 16 floats; SetVertexShaderConstant's 4 per register
};

class RecordingDevice : public gpu::SoftDevice {
public:
    RecordingDevice(const gpu::D3DPRESENT_PARAMETERS& parameters, bool softwareProcessing);

    std::vector<DeviceCall> calls;
    // Calls named so, in order.
    std::vector<DeviceCall> CallsNamed(const std::string& name) const;
    void ClearCalls() { calls.clear(); }

    // Scripted results.
    int resetFailuresLeft = 0;  // Reset reports DEVICELOST this many times first
    int resetCount = 0;
    bool presentLoses = false;  // the next Present loses the device
    bool refuseScenes = false;  // BeginScene fails while set (a device that cannot draw)
    gpu::D3DCAPS8 caps = gpu::StandardCaps();
    uint32_t availableTextureMem = 256u << 20;
    uint32_t GetAvailableTextureMem() override { return availableTextureMem; }

    gpu::HRESULT GetDeviceCaps(gpu::D3DCAPS8* out) override;
    gpu::HRESULT Reset(gpu::D3DPRESENT_PARAMETERS* parameters) override;
    gpu::HRESULT Present() override;
    gpu::HRESULT BeginScene() override;
    gpu::HRESULT Clear(uint32_t flags, uint32_t colour, float z, uint32_t stencil) override;
    gpu::HRESULT SetTransform(gpu::D3DTRANSFORMSTATETYPE state, const gpu::D3DMATRIX* matrix) override;
    gpu::HRESULT SetViewport(const gpu::D3DVIEWPORT8* viewport) override;
    gpu::HRESULT SetRenderState(gpu::D3DRENDERSTATETYPE state, uint32_t value) override;
    gpu::HRESULT SetTexture(uint32_t stage, gpu::Texture* texture) override;
    gpu::HRESULT SetTextureStageState(uint32_t stage, gpu::D3DTEXTURESTAGESTATETYPE type, uint32_t value) override;
    gpu::HRESULT SetVertexShader(uint32_t handle) override;
    gpu::HRESULT SetRenderTarget(gpu::Surface* renderTarget, gpu::Surface* depthStencil) override;
    gpu::HRESULT DrawPrimitiveUP(gpu::D3DPRIMITIVETYPE type, uint32_t primitiveCount, const void* vertices,
                                 uint32_t stride) override;
    gpu::HRESULT SetVertexShaderConstant(uint32_t reg, const void* data, uint32_t count) override;
    gpu::HRESULT DrawIndexedPrimitive(gpu::D3DPRIMITIVETYPE type, uint32_t minIndex, uint32_t vertexCount,
                                      uint32_t startIndex, uint32_t primitiveCount) override;

private:
    void Record(const char* name, std::vector<uint32_t> args);
};

// What CreateDevice was asked for.
struct CreateAttempt {
    gpu::D3DDEVTYPE type;
    uint32_t flags;
};

class RecordingDirect3D : public gpu::SoftDirect3D {
public:
    RecordingDirect3D();

    // Scripted adapter.
    gpu::D3DCAPS8 caps;
    bool capsFail = false;
    std::vector<gpu::D3DFORMAT> textureFormats;  // CheckDeviceFormat answers yes for these
    std::vector<gpu::D3DDISPLAYMODE> modes;
    gpu::D3DDISPLAYMODE desktop{1280, 1024, 60, gpu::D3DFMT_X8R8G8B8};
    std::vector<uint32_t> failingFlags;          // CreateDevice fails for these behaviour flags

    std::vector<CreateAttempt> attempts;
    RecordingDevice* device = nullptr;           // the last device made

    uint32_t GetAdapterModeCount(uint32_t adapter) override;
    gpu::HRESULT EnumAdapterModes(uint32_t adapter, uint32_t mode, gpu::D3DDISPLAYMODE* out) override;
    gpu::HRESULT CheckDeviceFormat(uint32_t adapter, gpu::D3DDEVTYPE type, gpu::D3DFORMAT adapterFormat,
                                   uint32_t usage, uint32_t resourceType, gpu::D3DFORMAT checkFormat) override;
    gpu::HRESULT GetDeviceCaps(uint32_t adapter, gpu::D3DDEVTYPE type, gpu::D3DCAPS8* out) override;
    gpu::HRESULT CreateDevice(uint32_t adapter, gpu::D3DDEVTYPE type, void* focusWindow, uint32_t flags,
                              gpu::D3DPRESENT_PARAMETERS* parameters, gpu::Device** out) override;

protected:
    std::unique_ptr<gpu::Rasterizer> MakeRasterizer(const gpu::D3DPRESENT_PARAMETERS&) override;
    const char* AdapterName() override { return "Recording adapter"; }
    const char* DriverName() override { return "recording"; }
    gpu::D3DDISPLAYMODE DesktopMode() override { return desktop; }
};

// A graphics host with settable screen settings that records the calls.
class FakeGraphicsHost : public GraphicsHost {
public:
    void* window = nullptr;
    int width = 640, height = 480;
    bool windowed = true, paintDriven = false, threadMode = false;
    int fallBacks = 0, presentedFrames = 0, primitives = 0, exitRequests = 0;
    std::vector<std::string> errorBoxes;  // "caption: text"
    std::vector<uint32_t> sleeps;

    void* Window() override { return window; }
    void ScreenSize(int* w, int* h) override { *w = width; *h = height; }
    bool Windowed() override { return windowed; }
    bool PaintDriven() override { return paintDriven; }
    bool ThreadMode() override { return threadMode; }
    void FallBackToWindow() override { ++fallBacks; windowed = true; }
    void AddPresentedFrames(int n) override { presentedFrames += n; }
    void AddPrimitiveCount(int n) override { primitives += n; }
    void RequestExit() override { ++exitRequests; }
    void ShowErrorBox(const char* caption, const char* text) override {
        errorBoxes.push_back(std::string(caption) + ": " + text);
    }
    void Sleep(uint32_t milliseconds) override { sleeps.push_back(milliseconds); }
};

// Installs a fake host and a recording Direct3D for the engine's device
// functions, and undoes both (and shuts the device down) at the end.
class RecordingGraphics {
public:
    RecordingGraphics();
    ~RecordingGraphics();
    RecordingGraphics(const RecordingGraphics&) = delete;
    RecordingGraphics& operator=(const RecordingGraphics&) = delete;

    // The Direct3D object the next InitializeDirectXGraphics gets (owned by
    // the engine once taken).
    RecordingDirect3D* d3d() { return d3d_; }
    RecordingDevice* device() { return d3d_->device; }
    FakeGraphicsHost host;

private:
    RecordingDirect3D* d3d_;
    RecordingDirect3D* outerDirect3D_;  // an enclosing one's, not yet taken
    GraphicsHost* outerHost_;
};

}  // namespace test
