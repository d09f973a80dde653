#pragma once
// The caches in front of the device: a render state, texture-stage state or
// texture binding equal to the cached one is not sent again, and after a
// device reset the caches are replayed to rebuild the device's state. On top
// of them: the blend and fill presets and fog.
#include <cstdint>

#include "engine/graphics/device.h"
#include "platform/gpu_device.h"

class Texture;  // an engine texture (engine/graphics/texture.h)
class Surface;  // an engine surface (engine/graphics/surface.h)

enum BlendMode {
    BLEND_OPAQUE = 0,
    BLEND_ALPHA = 1,
    BLEND_ALPHA_ADD = 2,
    BLEND_INVERTED_ADD = 3,  // handled by Begin2D and End2D; SetBlendMode sends nothing
    BLEND_MULTIPLY = 4,
    BLEND_ADD = 5,
    BLEND_DEST_ADD = 6,
    BLEND_INVERT = 7,
};

enum FillModePreset {
    FILL_POINT = 0,
    FILL_WIREFRAME = 1,
    FILL_SOLID_FLAT = 2,
    FILL_SOLID_GOURAUD = 3,
};

// Value of a cache entry that has not been sent since the last reset.
constexpr uint32_t kStateNotSent = 0xFFFFFFFF;
constexpr int kCachedStages = 4;

extern uint32_t renderStateCache[256];
extern uint32_t textureStageStateCache[kCachedStages * 256];
extern Texture* boundTextures[kCachedStages];

// Fills the caches with "not sent", sets the viewport and the engine's
// default states; called right after device creation. Returns 1.
int SetDefaultRenderStates();
// Sends every cached value again (after a device reset) and forgets the
// texture bindings, whose device textures were recreated.
void ReplayRenderStateCache();

// Out-of-range state numbers and stages are ignored.
void SetRenderState(gpu::D3DRENDERSTATETYPE state, uint32_t value);
void SetTextureStageState(int stage, gpu::D3DTEXTURESTAGESTATETYPE type, uint32_t value);
void SetTexture(Texture* texture, int stage);
// Called when a texture goes away, so a new texture at the same address is
// bound again.
void ForgetBoundTexture(const Texture* texture);
// How SetTexture reaches a texture's device texture; the texture layer
// installs it (Texture::GetD3DTexture).
using DeviceTextureAccessor = gpu::Texture* (*)(Texture* texture);
void SetDeviceTextureAccessor(DeviceTextureAccessor accessor);

// The device's vertex shader from a shader object (anything with GetHandle),
// or the empty format 0 for null; returns whether the device took it. Not
// cached: mesh drawing guards it with the shader key.
template <typename Shader>
int SetVertexShaderObject(Shader* shader) {
    gpu::Device* device = GetDevice();
    return device && !gpu::Failed(device->SetVertexShader(shader ? shader->GetHandle() : 0)) ? 1 : 0;
}

void SetBlendMode(int mode);
void SetFillMode(int preset);
// FOGCOLOR through the cache; FOGSTART 0 and FOGEND 1 straight to the device
// (the mesh shaders compute the fog factor from the stored range).
void SetFog(float start, float end, uint32_t colour);
float GetFogStart();
float GetFogEnd();

// The surface made the depth buffer, set again after a device reset. The
// surface layer installs how a surface becomes the depth buffer again, and
// forgets a released surface.
void SetCurrentDepthSurface(Surface* surface);
Surface* GetCurrentDepthSurface();
void ForgetDepthSurface(const Surface* surface);
using DepthSurfaceRestorer = int (*)(Surface* surface);
void SetDepthSurfaceRestorer(DepthSurfaceRestorer restorer);
// After a reset: makes the recorded surface the depth buffer again.
void RestoreDepthSurface();
