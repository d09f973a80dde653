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

// An ARGB colour as one pixel of the surface's format; 16-bit targets get
// the top bits of each channel, and X channels are set.
uint32_t PackColour(D3DFORMAT format, uint32_t argb) {
    const uint32_t a = argb >> 24, r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
    switch (format) {
    case D3DFMT_X8R8G8B8: return argb | 0xFF000000u;
    case D3DFMT_R5G6B5: return (r >> 3) << 11 | (g >> 2) << 5 | b >> 3;
    case D3DFMT_X1R5G5B5: return 0x8000u | (r >> 3) << 10 | (g >> 3) << 5 | b >> 3;
    case D3DFMT_A1R5G5B5: return (a >> 7) << 15 | (r >> 3) << 10 | (g >> 3) << 5 | b >> 3;
    case D3DFMT_A4R4G4B4: return (a >> 4) << 12 | (r >> 4) << 8 | (g >> 4) << 4 | b >> 4;
    case D3DFMT_X4R4G4B4: return 0xF000u | (r >> 4) << 8 | (g >> 4) << 4 | b >> 4;
    default: return argb;
    }
}

class NullRasterizer : public Rasterizer {
public:
    void Draw(const RasterState&, PrimitiveKind, const ScreenVertex*, size_t) override {}
    void Clear(const RasterState& state, uint32_t flags, uint32_t colour, float z) override {
        if ((flags & D3DCLEAR_TARGET) && state.target) {
            // The pixel is written in the target's own size: a 16-bit target
            // has half the row of a 32-bit one.
            const int bytes = FormatBytesPerPixel(state.target->format);
            const uint32_t pixel = PackColour(state.target->format, colour);
            const uint8_t little[4] = {static_cast<uint8_t>(pixel), static_cast<uint8_t>(pixel >> 8),
                                       static_cast<uint8_t>(pixel >> 16), static_cast<uint8_t>(pixel >> 24)};
            if (bytes > 0) FillRect(*state.target, state.viewport, little, bytes);
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
