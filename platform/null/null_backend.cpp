// The null backend: no window and no GPU. Surfaces keep their CPU memory,
// clears fill it (when it is read), draws draw nothing (their vertices are
// not even processed); headless scene runs use it.
#include <algorithm>
#include <array>
#include <cstring>
#include <unordered_map>

#include "platform/d3d/backends.h"
#include "platform/d3d/soft_device.h"

namespace gpu {

namespace {

// Fills a rectangle of a surface with one pixel value: the first row is
// built by doubling, the others are copies of it.
void FillRect(SurfaceData& surface, uint32_t left, uint32_t top, uint32_t right, uint32_t bottom,
              const uint8_t* pixel, int bytes) {
    if (left >= right || top >= bottom) return;
    const size_t rowBytes = static_cast<size_t>(right - left) * bytes;
    uint8_t* first = surface.bytes.data() + static_cast<size_t>(top) * surface.pitch + static_cast<size_t>(left) * bytes;
    std::memcpy(first, pixel, bytes);
    for (size_t done = bytes; done < rowBytes; done *= 2) std::memcpy(first + done, first, std::min(done, rowBytes - done));
    for (uint32_t y = top + 1; y < bottom; ++y) std::memcpy(first + static_cast<size_t>(y - top) * surface.pitch, first, rowBytes);
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

// Clears of a whole surface are only noted, and written into its bytes when
// the CPU asks for them (Download): the game clears the whole target and
// depth buffer every frame, and a headless run reads back few of them.
class NullRasterizer : public Rasterizer {
public:
    void Draw(const RasterState&, PrimitiveKind, const ScreenVertex*, size_t) override {}
    bool Draws() const override { return false; }
    void Clear(const RasterState& state, uint32_t flags, uint32_t colour, float z) override {
        if ((flags & D3DCLEAR_TARGET) && state.target) {
            // The pixel is written in the target's own size: a 16-bit target
            // has half the row of a 32-bit one.
            const uint32_t pixel = PackColour(state.target->format, colour);
            Fill(*state.target, state.viewport, Little(pixel), FormatBytesPerPixel(state.target->format));
        }
        if ((flags & D3DCLEAR_ZBUFFER) && state.depth) {
            const uint16_t depth = static_cast<uint16_t>(std::clamp(z, 0.0f, 1.0f) * 65535.0f + 0.5f);
            Fill(*state.depth, state.viewport, Little(depth), 2);
        }
    }
    void Present(SurfaceData&) override {}
    void Flush() override {}
    void Download(SurfaceData& surface) override { WritePendingFill(surface); }
    bool CopyRect(SurfaceData&, const RECT&, SurfaceData&, const POINT&) override { return false; }
    void Forget(SurfaceData& surface) override { pending_.erase(&surface); }
    uint32_t AvailableTextureMemory() override { return 256u << 20; }

private:
    using Pixel = std::array<uint8_t, 4>;
    struct PendingFill {
        Pixel pixel;
        int bytes;
    };

    static Pixel Little(uint32_t value) {
        return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16),
                static_cast<uint8_t>(value >> 24)};
    }

    void Fill(SurfaceData& surface, const D3DVIEWPORT8& viewport, const Pixel& pixel, int bytes) {
        if (bytes <= 0) return;
        const uint32_t right = std::min<uint64_t>(uint64_t{viewport.X} + viewport.Width, surface.width);
        const uint32_t bottom = std::min<uint64_t>(uint64_t{viewport.Y} + viewport.Height, surface.height);
        if (viewport.X == 0 && viewport.Y == 0 && right == surface.width && bottom == surface.height) {
            pending_[&surface] = {pixel, bytes};
            surface.cpuStale = true;
            return;
        }
        WritePendingFill(surface);
        FillRect(surface, viewport.X, viewport.Y, right, bottom, pixel.data(), bytes);
    }

    // A fill counts only while the bytes are still marked stale: a copy that
    // replaced them since (UpdateTexture) clears the mark.
    void WritePendingFill(SurfaceData& surface) {
        auto it = pending_.find(&surface);
        if (it != pending_.end()) {
            if (surface.cpuStale) {
                FillRect(surface, 0, 0, surface.width, surface.height, it->second.pixel.data(), it->second.bytes);
            }
            pending_.erase(it);
        }
        surface.cpuStale = false;
    }

    std::unordered_map<const SurfaceData*, PendingFill> pending_;
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
