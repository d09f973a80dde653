#pragma once
// What the shared device hands to a backend: surfaces with their CPU copy and
// residency flags, vertices already transformed to Direct3D screen space, and
// the state snapshot a draw needs.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gpu_device.h"
#include "platform/zeroed_bytes.h"

namespace gpu {

// Pixel storage of a surface, a texture level, the back buffer or a depth
// buffer. The CPU bytes are the system-memory copy (top row first). For a
// surface the backend renders into, `cpuStale` says the backend holds newer
// pixels (download before reading), `gpuStale` that the CPU bytes are newer
// (upload before the backend uses them).
struct SurfaceData {
    enum class Kind { Image, TextureLevel, RenderTarget, BackBuffer, DepthStencil };
    Kind kind = Kind::Image;
    D3DFORMAT format = D3DFMT_UNKNOWN;
    D3DPOOL pool = D3DPOOL_SYSTEMMEM;
    uint32_t usage = 0;
    uint32_t width = 0, height = 0, pitch = 0;
    platform::ZeroedBytes bytes;  // zero while fresh
    bool locked = false;       // shared by every surface object over these pixels
    bool cpuStale = false;
    bool gpuStale = true;
    uintptr_t backendId = 0;   // the backend's own object (0 while none)

    // True when the backend renders into it (then it lives on the GPU too).
    bool IsTarget() const {
        return kind == Kind::RenderTarget || kind == Kind::BackBuffer || kind == Kind::DepthStencil ||
               (kind == Kind::TextureLevel && (usage & D3DUSAGE_RENDERTARGET));
    }
};

// One vertex in Direct3D screen space: x, y in pixels with pixel centres on
// integers, z the depth 0..1, rhw = 1/w for perspective-correct interpolation.
struct ScreenVertex {
    float x, y, z, rhw;
    float diffuse[4];    // r g b a, 0..1
    float specular[4];
    float fog;           // 1 = no fog, 0 = fog colour
    float tex[kMaxTextureStages][2];  // the coordinates each stage samples
};

enum class PrimitiveKind { Points, Lines, Triangles };

struct StageTexture {
    SurfaceData* level = nullptr;  // level 0 of the bound texture, or null
};

// Everything a backend needs to rasterise one batch.
struct RasterState {
    const uint32_t* renderStates = nullptr;       // 256 entries by D3DRENDERSTATETYPE
    const uint32_t (*stageStates)[32] = nullptr;  // [stage][D3DTEXTURESTAGESTATETYPE]
    StageTexture textures[kMaxTextureStages];
    D3DVIEWPORT8 viewport{};
    SurfaceData* target = nullptr;
    SurfaceData* depth = nullptr;
};

// A backend's share of the device.
class Rasterizer {
public:
    virtual ~Rasterizer() = default;
    virtual void Draw(const RasterState& state, PrimitiveKind kind, const ScreenVertex* vertices,
                      size_t count) = 0;
    // False for a backend whose Draw does nothing: the device then checks a
    // draw's arguments but skips the vertex processing it would throw away.
    virtual bool Draws() const { return true; }
    // Clears the viewport rectangle of the target and/or depth buffer.
    virtual void Clear(const RasterState& state, uint32_t flags, uint32_t colour, float z) = 0;
    virtual void Present(SurfaceData& backBuffer) = 0;
    // Finishes draws the backend holds back for batching; called before the
    // CPU touches any surface's pixels.
    virtual void Flush() = 0;
    // Brings the CPU bytes of a target up to date (clears cpuStale).
    virtual void Download(SurfaceData& surface) = 0;
    // Tries a copy between two surfaces on the backend's side; false leaves
    // it to the CPU path.
    virtual bool CopyRect(SurfaceData& source, const RECT& rect, SurfaceData& destination,
                          const POINT& point) = 0;
    // The surface is going away (or its contents were replaced wholesale).
    virtual void Forget(SurfaceData& surface) = 0;
    virtual uint32_t AvailableTextureMemory() = 0;
};

}  // namespace gpu
