#pragma once
// The OpenGL 3.3 core backend's rasteriser: every render target (the back
// buffer included) is a texture with a framebuffer object, stored top row
// first as Direct3D keeps it; Present blits the back buffer to the window.
#include <SDL.h>

#include <memory>
#include <vector>

#include "platform/d3d/raster.h"
#include "platform/gl/gl_programs.h"

namespace gpu {

// The GL context on the game's window, shared by the Direct3D object and
// the device made from it.
struct GLContext {
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    ~GLContext();
};

class GLRasterizer : public Rasterizer {
public:
    explicit GLRasterizer(std::shared_ptr<GLContext> context);
    ~GLRasterizer() override;
    void Draw(const RasterState& state, PrimitiveKind kind, const ScreenVertex* vertices, size_t count) override;
    void Clear(const RasterState& state, uint32_t flags, uint32_t colour, float z) override;
    void Present(SurfaceData& backBuffer) override;
    void Flush() override;
    void Download(SurfaceData& surface) override;
    bool CopyRect(SurfaceData& source, const RECT& rect, SurfaceData& destination, const POINT& point) override;
    void Forget(SurfaceData& surface) override;
    uint32_t AvailableTextureMemory() override { return 256u << 20; }

private:
    struct Objects;
    // The fixed-function state of one batch: draws with equal keys go out in
    // one GL draw call.
    struct BatchKey {
        SurfaceData* target;
        SurfaceData* depth;
        SurfaceData* textures[kMaxTextureStages];
        uint32_t sampler[kMaxTextureStages][5];  // address u, v, mag, min, border
        ProgramKey program;
        uint32_t kind, fill, zEnable, zWrite, zFunc, blend, srcBlend, destBlend, blendOp, colourWrite;
        uint32_t textureFactor, fogColour, alphaRef, pointSize;
        D3DVIEWPORT8 viewport;
    };
    Objects& ObjectsOf(SurfaceData& surface);
    void Upload(SurfaceData& surface);
    void BindTarget(SurfaceData& target, SurfaceData* depth);
    void BindTexture(int unit, SurfaceData& level, const uint32_t sampler[5]);
    void ApplyAndDraw(const BatchKey& key);

    std::shared_ptr<GLContext> context_;
    ProgramCache programs_;
    GLuint vertexArray_ = 0, vertexBuffer_ = 0;
    bool pending_ = false;
    BatchKey batch_{};
    std::vector<ScreenVertex> batchVertices_;
};

}  // namespace gpu
