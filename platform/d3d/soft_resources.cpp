#include "platform/d3d/soft_resources.h"

namespace gpu {

namespace {

void Describe(const SurfaceData& data, D3DSURFACE_DESC* desc) {
    desc->Format = data.format;
    desc->Usage = data.usage;
    desc->Pool = data.pool;
    desc->Size = data.pitch * data.height;
    desc->Width = data.width;
    desc->Height = data.height;
}

// Locks a rectangle of the CPU copy, first fetching the backend's newer pixels.
HRESULT LockData(SoftDevice& device, SurfaceData& data, D3DLOCKED_RECT* out, const RECT* rect) {
    if (!out || data.locked) return D3DERR_INVALIDCALL;
    if (data.kind == SurfaceData::Kind::DepthStencil && data.format != D3DFMT_D16_LOCKABLE) return D3DERR_INVALIDCALL;
    RECT r = rect ? *rect : RECT{0, 0, static_cast<int32_t>(data.width), static_cast<int32_t>(data.height)};
    if (r.left < 0 || r.top < 0 || r.left >= r.right || r.top >= r.bottom ||
        r.right > static_cast<int32_t>(data.width) || r.bottom > static_cast<int32_t>(data.height)) {
        return D3DERR_INVALIDCALL;
    }
    device.rasterizer().Flush();
    if (data.cpuStale) device.rasterizer().Download(data);
    out->Pitch = static_cast<int32_t>(data.pitch);
    out->pBits = data.bytes.data() + r.top * data.pitch + r.left * FormatBytesPerPixel(data.format);
    data.locked = true;
    return D3D_OK;
}

HRESULT UnlockData(SurfaceData& data) {
    if (!data.locked) return D3DERR_INVALIDCALL;
    data.locked = false;
    data.gpuStale = true;
    return D3D_OK;
}

}  // namespace

SoftSurface::SoftSurface(SoftDevice* device, std::shared_ptr<SurfaceData> data, Unknown* container)
    : device_(device), data_(std::move(data)), container_(container) {
    device_->AddRef();
    if (container_) container_->AddRef();
    countsAsDefault_ = !container_ && data_->pool == D3DPOOL_DEFAULT && data_->kind != SurfaceData::Kind::BackBuffer;
    if (countsAsDefault_) device_->AddDefaultPoolObject(1);
}

SoftSurface::~SoftSurface() {
    if (countsAsDefault_) device_->AddDefaultPoolObject(-1);
    data_.reset();
    if (container_) container_->Release();
    device_->Release();
}

HRESULT SoftSurface::GetDesc(D3DSURFACE_DESC* desc) {
    if (!desc) return D3DERR_INVALIDCALL;
    Describe(*data_, desc);
    return D3D_OK;
}

HRESULT SoftSurface::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, uint32_t) {
    return LockData(*device_, *data_, locked, rect);
}

HRESULT SoftSurface::UnlockRect() { return UnlockData(*data_); }

SoftTexture::SoftTexture(SoftDevice* device, std::shared_ptr<SurfaceData> level)
    : device_(device), level_(std::move(level)) {
    device_->AddRef();
    if (level_->pool == D3DPOOL_DEFAULT) device_->AddDefaultPoolObject(1);
}

SoftTexture::~SoftTexture() {
    if (level_->pool == D3DPOOL_DEFAULT) device_->AddDefaultPoolObject(-1);
    level_.reset();
    device_->Release();
}

HRESULT SoftTexture::GetLevelDesc(uint32_t level, D3DSURFACE_DESC* desc) {
    if (level != 0 || !desc) return D3DERR_INVALIDCALL;
    Describe(*level_, desc);
    return D3D_OK;
}

HRESULT SoftTexture::GetSurfaceLevel(uint32_t level, Surface** surface) {
    if (level != 0 || !surface) return D3DERR_INVALIDCALL;
    *surface = new SoftSurface(device_, level_, this);
    return D3D_OK;
}

HRESULT SoftTexture::LockRect(uint32_t level, D3DLOCKED_RECT* locked, const RECT* rect, uint32_t) {
    if (level != 0) return D3DERR_INVALIDCALL;
    return LockData(*device_, *level_, locked, rect);
}

HRESULT SoftTexture::UnlockRect(uint32_t level) {
    if (level != 0) return D3DERR_INVALIDCALL;
    return UnlockData(*level_);
}

}  // namespace gpu
