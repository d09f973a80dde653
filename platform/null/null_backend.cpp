// The null backend: no window and no GPU. Surfaces keep their CPU memory,
// clears fill it, draws draw nothing; headless scene runs use it.
#include <algorithm>
#include <cstring>

#include "platform/d3d/backends.h"
#include "platform/d3d/soft_device.h"

namespace gpu {

namespace {

// Fills the viewport rectangle of a surface with one pixel value.
void FillRect(SurfaceData& surface, const D3DVIEWPORT8& viewport, const void* pixel, int bytes) {
    const uint32_t right = std::min(viewport.X + viewport.Width, surface.width);
    const uint32_t bottom = std::min(viewport.Y + viewport.Height, surface.height);
    for (uint32_t y = viewport.Y; y < bottom; ++y) {
        uint8_t* row = surface.bytes.data() + y * surface.pitch;
        for (uint32_t x = viewport.X; x < right; ++x) std::memcpy(row + x * bytes, pixel, bytes);
    }
}

class NullRasterizer : public Rasterizer {
public:
    void Draw(const RasterState&, PrimitiveKind, const ScreenVertex*, size_t) override {}
    void Clear(const RasterState& state, uint32_t flags, uint32_t colour, float z) override {
        if ((flags & D3DCLEAR_TARGET) && state.target) {
            const uint32_t pixel = colour | (state.target->format == D3DFMT_X8R8G8B8 ? 0xFF000000u : 0u);
            FillRect(*state.target, state.viewport, &pixel, 4);
        }
        if ((flags & D3DCLEAR_ZBUFFER) && state.depth) {
            const uint16_t depth = static_cast<uint16_t>(std::clamp(z, 0.0f, 1.0f) * 65535.0f + 0.5f);
            FillRect(*state.depth, state.viewport, &depth, 2);
        }
    }
    void Present(SurfaceData&) override {}
    void Flush() override {}
    void Download(SurfaceData& surface) override { surface.cpuStale = false; }
    bool CopyRect(SurfaceData&, const RECT&, SurfaceData&, const POINT&) override { return false; }
    void Forget(SurfaceData&) override {}
    bool OutputLost() override { return false; }
    uint32_t AvailableTextureMemory() override { return 256u << 20; }
};

class NullDirect3D : public SoftDirect3D {
protected:
    std::unique_ptr<Rasterizer> MakeRasterizer(const D3DPRESENT_PARAMETERS&) override {
        return CreateNullRasterizer();
    }
    const char* AdapterName() override { return "Null device"; }
    const char* DriverName() override { return "null"; }
    D3DDISPLAYMODE DesktopMode() override { return {640, 480, 60, D3DFMT_X8R8G8B8}; }
};

}  // namespace

Direct3D* CreateNullDirect3D() { return new NullDirect3D; }
std::unique_ptr<Rasterizer> CreateNullRasterizer() { return std::make_unique<NullRasterizer>(); }

}  // namespace gpu
