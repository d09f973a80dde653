#include "tests/support/recording_device.h"

#include <algorithm>
#include <cstring>

#include "engine/graphics/device.h"
#include "platform/d3d/backends.h"
#include "platform/d3d/raster.h"

namespace test {

using namespace gpu;

RecordingDevice::RecordingDevice(const D3DPRESENT_PARAMETERS& parameters, bool softwareProcessing)
    : SoftDevice(CreateNullRasterizer(), parameters, softwareProcessing) {}

void RecordingDevice::Record(const char* name, std::vector<uint32_t> args) {
    calls.push_back({name, std::move(args), {}, {}});
}

std::vector<DeviceCall> RecordingDevice::CallsNamed(const std::string& name) const {
    std::vector<DeviceCall> found;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(found), [&](const DeviceCall& c) { return c.name == name; });
    return found;
}

HRESULT RecordingDevice::GetDeviceCaps(D3DCAPS8* out) {
    *out = caps;
    return D3D_OK;
}

HRESULT RecordingDevice::Reset(D3DPRESENT_PARAMETERS* parameters) {
    ++resetCount;
    Record("Reset", {});
    if (resetFailuresLeft > 0) {
        --resetFailuresLeft;
        return D3DERR_DEVICELOST;
    }
    return SoftDevice::Reset(parameters);
}

HRESULT RecordingDevice::Present() {
    Record("Present", {});
    if (presentLoses) {
        presentLoses = false;
        LoseDevice();
    }
    return SoftDevice::Present();
}

HRESULT RecordingDevice::BeginScene() { return refuseScenes ? D3DERR_INVALIDCALL : SoftDevice::BeginScene(); }

HRESULT RecordingDevice::Clear(uint32_t flags, uint32_t colour, float z, uint32_t stencil) {
    uint32_t zBits;
    std::memcpy(&zBits, &z, 4);
    Record("Clear", {flags, colour, zBits});
    return SoftDevice::Clear(flags, colour, z, stencil);
}

HRESULT RecordingDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
    Record("SetTransform", {state});
    if (matrix) calls.back().matrix.assign(matrix->m, matrix->m + 16);
    return SoftDevice::SetTransform(state, matrix);
}

HRESULT RecordingDevice::SetViewport(const D3DVIEWPORT8* v) {
    Record("SetViewport", {v->X, v->Y, v->Width, v->Height});
    return SoftDevice::SetViewport(v);
}

HRESULT RecordingDevice::SetRenderState(D3DRENDERSTATETYPE state, uint32_t value) {
    Record("SetRenderState", {state, value});
    return SoftDevice::SetRenderState(state, value);
}

HRESULT RecordingDevice::SetTexture(uint32_t stage, Texture* texture) {
    Record("SetTexture", {stage, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(texture))});
    return SoftDevice::SetTexture(stage, texture);
}

HRESULT RecordingDevice::SetTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type, uint32_t value) {
    Record("SetTextureStageState", {stage, type, value});
    return SoftDevice::SetTextureStageState(stage, type, value);
}

HRESULT RecordingDevice::SetVertexShader(uint32_t handle) {
    Record("SetVertexShader", {handle});
    return SoftDevice::SetVertexShader(handle);
}

HRESULT RecordingDevice::SetRenderTarget(Surface* renderTarget, Surface* depthStencil) {
    Record("SetRenderTarget", {renderTarget != nullptr, depthStencil != nullptr});
    return SoftDevice::SetRenderTarget(renderTarget, depthStencil);
}

HRESULT RecordingDevice::DrawPrimitiveUP(D3DPRIMITIVETYPE type, uint32_t primitiveCount, const void* vertices,
                                         uint32_t stride) {
    Record("DrawPrimitiveUP", {type, primitiveCount, stride});
    const auto* bytes = static_cast<const uint8_t*>(vertices);
    calls.back().vertices.assign(bytes, bytes + VertexCountOf(type, primitiveCount) * stride);
    return SoftDevice::DrawPrimitiveUP(type, primitiveCount, vertices, stride);
}

HRESULT RecordingDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, uint32_t minIndex, uint32_t vertexCount,
                                              uint32_t startIndex, uint32_t primitiveCount) {
    Record("DrawIndexedPrimitive", {type, minIndex, vertexCount, startIndex, primitiveCount});
    return SoftDevice::DrawIndexedPrimitive(type, minIndex, vertexCount, startIndex, primitiveCount);
}

HRESULT RecordingDevice::SetVertexShaderConstant(uint32_t reg, const void* data, uint32_t count) {
    Record("SetVertexShaderConstant", {reg, count});
    if (data) {
        const auto* values = static_cast<const float*>(data);
        calls.back().matrix.assign(values, values + 4 * static_cast<size_t>(count));
    }
    return SoftDevice::SetVertexShaderConstant(reg, data, count);
}

RecordingDirect3D::RecordingDirect3D() : caps(StandardCaps()) {
    textureFormats = {D3DFMT_A8R8G8B8, D3DFMT_A4R4G4B4, D3DFMT_A1R5G5B5, D3DFMT_X8R8G8B8, D3DFMT_R5G6B5,
                      D3DFMT_X1R5G5B5};
    modes = {{640, 480, 60, D3DFMT_X8R8G8B8}};
}

uint32_t RecordingDirect3D::GetAdapterModeCount(uint32_t) { return static_cast<uint32_t>(modes.size()); }

HRESULT RecordingDirect3D::EnumAdapterModes(uint32_t, uint32_t mode, D3DDISPLAYMODE* out) {
    if (mode >= modes.size()) return D3DERR_INVALIDCALL;
    *out = modes[mode];
    return D3D_OK;
}

HRESULT RecordingDirect3D::CheckDeviceFormat(uint32_t, D3DDEVTYPE, D3DFORMAT, uint32_t, uint32_t,
                                             D3DFORMAT checkFormat) {
    const bool found = std::find(textureFormats.begin(), textureFormats.end(), checkFormat) != textureFormats.end();
    return found ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT RecordingDirect3D::GetDeviceCaps(uint32_t, D3DDEVTYPE, D3DCAPS8* out) {
    if (capsFail) return D3DERR_NOTAVAILABLE;
    *out = caps;
    return D3D_OK;
}

HRESULT RecordingDirect3D::CreateDevice(uint32_t adapter, D3DDEVTYPE type, void*, uint32_t flags,
                                        D3DPRESENT_PARAMETERS* parameters, Device** out) {
    attempts.push_back({type, flags});
    if (std::find(failingFlags.begin(), failingFlags.end(), flags) != failingFlags.end()) return D3DERR_NOTAVAILABLE;
    if (adapter != 0 || !parameters || !out) return D3DERR_INVALIDCALL;
    device = new RecordingDevice(*parameters, (flags & D3DCREATE_SOFTWARE_VERTEXPROCESSING) != 0);
    device->caps = caps;
    *out = device;
    return D3D_OK;
}

std::unique_ptr<Rasterizer> RecordingDirect3D::MakeRasterizer(const D3DPRESENT_PARAMETERS&) {
    return CreateNullRasterizer();
}

namespace {

RecordingDirect3D* pendingDirect3D = nullptr;

Direct3D* TakePending(void*) {
    Direct3D* d3d = pendingDirect3D;
    pendingDirect3D = nullptr;
    return d3d;
}

}  // namespace

// One may be made inside another's lifetime (a test's own next to its
// fixture's): it puts back what the outer one had installed.
RecordingGraphics::RecordingGraphics()
    : d3d_(new RecordingDirect3D), outerDirect3D_(pendingDirect3D), outerHost_(&GetGraphicsHost()) {
    pendingDirect3D = d3d_;
    d3d_->AddRef();  // kept alive for inspection after the engine releases it
    SetDirect3DProvider(TakePending);
    SetGraphicsHost(&host);
}

RecordingGraphics::~RecordingGraphics() {
    DestroyDirectXGraphics();
    if (pendingDirect3D == d3d_) {
        pendingDirect3D = nullptr;
        d3d_->Release();
    }
    d3d_->Release();
    pendingDirect3D = outerDirect3D_;
    SetDirect3DProvider(outerDirect3D_ ? TakePending : nullptr);
    SetGraphicsHost(outerHost_);
}

}  // namespace test
