#include "engine/graphics/render_state.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "engine/graphics/device.h"

using namespace gpu;

uint32_t renderStateCache[256];
uint32_t textureStageStateCache[kCachedStages * 256];
::Texture* boundTextures[kCachedStages];

namespace {

struct BlendPreset {
    uint32_t source, destination;
};
// By BlendMode; BLEND_INVERTED_ADD (3) has no pair of its own.
constexpr BlendPreset kBlendPresets[8] = {
    {D3DBLEND_ONE, D3DBLEND_ZERO},          {D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA},
    {D3DBLEND_SRCALPHA, D3DBLEND_ONE},      {0, 0},
    {D3DBLEND_ZERO, D3DBLEND_SRCCOLOR},     {D3DBLEND_ONE, D3DBLEND_ONE},
    {D3DBLEND_DESTCOLOR, D3DBLEND_ONE},     {D3DBLEND_INVDESTCOLOR, D3DBLEND_ZERO},
};

struct FillPreset {
    uint32_t fill, shade;
};
constexpr FillPreset kFillPresets[4] = {
    {D3DFILL_POINT, D3DSHADE_GOURAUD},
    {D3DFILL_WIREFRAME, D3DSHADE_GOURAUD},
    {D3DFILL_SOLID, D3DSHADE_FLAT},
    {D3DFILL_SOLID, D3DSHADE_GOURAUD},
};

float fogStart = 0.0f, fogEnd = 0.0f;
::Surface* depthSurface = nullptr;
DeviceTextureAccessor deviceTextureOf = nullptr;
DepthSurfaceRestorer depthSurfaceRestorer = nullptr;


void ForgetTextureBindings() { std::fill(std::begin(boundTextures), std::end(boundTextures), nullptr); }

}  // namespace

void SetRenderState(D3DRENDERSTATETYPE state, uint32_t value) {
    if (state >= 256 || renderStateCache[state] == value) return;
    renderStateCache[state] = value;
    if (Device* device = GetDevice()) device->SetRenderState(state, value);
}

void SetTextureStageState(int stage, D3DTEXTURESTAGESTATETYPE type, uint32_t value) {
    if (stage < 0 || stage >= kCachedStages || type >= 256) return;
    uint32_t& cached = textureStageStateCache[stage * 256 + type];
    if (cached == value) return;
    cached = value;
    if (Device* device = GetDevice()) device->SetTextureStageState(stage, type, value);
}

void SetTexture(::Texture* texture, int stage) {
    if (stage < 0 || stage >= kCachedStages || boundTextures[stage] == texture) return;
    boundTextures[stage] = texture;
    Device* device = GetDevice();
    if (!device) return;
    device->SetTexture(stage, texture && deviceTextureOf ? deviceTextureOf(texture) : nullptr);
}

void ForgetBoundTexture(const ::Texture* texture) {
    for (::Texture*& bound : boundTextures) {
        if (bound == texture) bound = nullptr;
    }
}

void SetDeviceTextureAccessor(DeviceTextureAccessor accessor) { deviceTextureOf = accessor; }

int SetDefaultRenderStates() {
    ForgetTextureBindings();
    std::fill(std::begin(renderStateCache), std::end(renderStateCache), kStateNotSent);
    std::fill(std::begin(textureStageStateCache), std::end(textureStageStateCache), kStateNotSent);
    Device* device = GetDevice();
    int width = 0, height = 0;
    GetGraphicsHost().ScreenSize(&width, &height);
    const D3DVIEWPORT8 viewport{0, 0, static_cast<uint32_t>(width), static_cast<uint32_t>(height), 0.0f, 1.0f};
    SetViewport(viewport);

    SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    SetRenderState(D3DRS_ZENABLE, 0);
    SetRenderState(D3DRS_ZWRITEENABLE, 0);
    SetRenderState(D3DRS_DITHERENABLE, 0);
    SetRenderState(D3DRS_LIGHTING, 0);
    SetRenderState(D3DRS_FOGENABLE, 0);
    SetRenderState(D3DRS_SPECULARENABLE, 0);
    SetRenderState(D3DRS_COLORVERTEX, 0);
    SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    // Equal to "not sent": never sent, and right because it is the device's default.
    SetRenderState(D3DRS_TEXTUREFACTOR, 0xFFFFFFFF);
    SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ZERO);

    for (int stage = 0; stage < kCachedStages; ++stage) {
        if (device) device->SetTexture(stage, nullptr);
        SetTextureStageState(stage, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
        SetTextureStageState(stage, D3DTSS_ADDRESSV, D3DTADDRESS_WRAP);
        const uint32_t op = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        SetTextureStageState(stage, D3DTSS_COLOROP, op);
        SetTextureStageState(stage, D3DTSS_ALPHAOP, op);
        SetTextureStageState(stage, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        SetTextureStageState(stage, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        SetTextureStageState(stage, D3DTSS_COLORARG2, D3DTA_CURRENT);
        SetTextureStageState(stage, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
        for (auto filter : {D3DTSS_MAGFILTER, D3DTSS_MINFILTER, D3DTSS_MIPFILTER}) {
            SetTextureStageState(stage, filter, D3DTEXF_NONE);
            SetTextureStageState(stage, filter, D3DTEXF_LINEAR);
        }
    }
    return 1;
}

void ReplayRenderStateCache() {
    ForgetTextureBindings();
    Device* device = GetDevice();
    if (!device) return;
    for (uint32_t state = 0; state < 256; ++state) {
        if (renderStateCache[state] != kStateNotSent) {
            device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(state), renderStateCache[state]);
        }
    }
    for (uint32_t type = 0; type < 256; ++type) {
        for (int stage = 0; stage < kCachedStages; ++stage) {
            const uint32_t value = textureStageStateCache[stage * 256 + type];
            if (value != kStateNotSent) {
                device->SetTextureStageState(stage, static_cast<D3DTEXTURESTAGESTATETYPE>(type), value);
            }
        }
    }
}

void SetBlendMode(int mode) {
    if (mode < 0 || mode > BLEND_INVERT || mode == BLEND_INVERTED_ADD) return;
    SetRenderState(D3DRS_SRCBLEND, kBlendPresets[mode].source);
    SetRenderState(D3DRS_DESTBLEND, kBlendPresets[mode].destination);
}

void SetFillMode(int preset) {
    if (preset < FILL_POINT || preset > FILL_SOLID_GOURAUD) return;
    SetRenderState(D3DRS_FILLMODE, kFillPresets[preset].fill);
    SetRenderState(D3DRS_SHADEMODE, kFillPresets[preset].shade);
}

void SetFog(float start, float end, uint32_t colour) {
    SetRenderState(D3DRS_FOGCOLOR, colour & 0xFFFFFF);
    if (Device* device = GetDevice()) {
        device->SetRenderState(D3DRS_FOGSTART, FloatBits(0.0f));
        device->SetRenderState(D3DRS_FOGEND, FloatBits(1.0f));
    }
    fogStart = start;
    fogEnd = end;
}

float GetFogStart() { return fogStart; }
float GetFogEnd() { return fogEnd; }

void SetCurrentDepthSurface(::Surface* surface) { depthSurface = surface; }
::Surface* GetCurrentDepthSurface() { return depthSurface; }

void ForgetDepthSurface(const ::Surface* surface) {
    if (depthSurface == surface) depthSurface = nullptr;
}

void SetDepthSurfaceRestorer(DepthSurfaceRestorer restorer) { depthSurfaceRestorer = restorer; }

void RestoreDepthSurface() {
    if (depthSurface && depthSurfaceRestorer) depthSurfaceRestorer(depthSurface);
}
