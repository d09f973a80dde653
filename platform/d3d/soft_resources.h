#pragma once
// The resource objects of SoftDevice: surfaces, textures and buffers over CPU
// memory. Each holds a reference to its device, as Direct3D's do.
#include <memory>
#include <vector>

#include "platform/d3d/soft_device.h"

namespace gpu {

class SoftSurface : public Surface {
public:
    // `container` (a texture) is kept alive while the surface is.
    SoftSurface(SoftDevice* device, std::shared_ptr<SurfaceData> data, Unknown* container = nullptr);
    ~SoftSurface() override;
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
    HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, uint32_t flags) override;
    HRESULT UnlockRect() override;
    const std::shared_ptr<SurfaceData>& data() const { return data_; }

private:
    SoftDevice* device_;
    std::shared_ptr<SurfaceData> data_;
    Unknown* container_;
    bool countsAsDefault_;
};

class SoftTexture : public Texture {
public:
    SoftTexture(SoftDevice* device, std::shared_ptr<SurfaceData> level);
    ~SoftTexture() override;
    uint32_t GetLevelCount() override { return 1; }
    HRESULT GetLevelDesc(uint32_t level, D3DSURFACE_DESC* desc) override;
    HRESULT GetSurfaceLevel(uint32_t level, Surface** surface) override;
    HRESULT LockRect(uint32_t level, D3DLOCKED_RECT* locked, const RECT* rect, uint32_t flags) override;
    HRESULT UnlockRect(uint32_t level) override;
    HRESULT AddDirtyRect(const RECT*) override { return D3D_OK; }
    const std::shared_ptr<SurfaceData>& level() const { return level_; }

private:
    SoftDevice* device_;
    std::shared_ptr<SurfaceData> level_;
};

// Vertex and index buffers: plain bytes.
template <typename Interface>
class SoftBuffer : public Interface {
public:
    SoftBuffer(SoftDevice* device, uint32_t length, D3DPOOL pool, D3DFORMAT format = D3DFMT_VERTEXDATA)
        : device_(device), bytes_(std::make_shared<std::vector<uint8_t>>(length)), pool_(pool), format_(format) {
        device_->AddRef();
        if (pool_ == D3DPOOL_DEFAULT) device_->AddDefaultPoolObject(1);
    }
    ~SoftBuffer() override {
        if (pool_ == D3DPOOL_DEFAULT) device_->AddDefaultPoolObject(-1);
        device_->Release();
    }
    HRESULT Lock(uint32_t offset, uint32_t size, uint8_t** data, uint32_t) override {
        if (!data || offset > bytes_->size() || size > bytes_->size() - offset) return D3DERR_INVALIDCALL;
        *data = bytes_->data() + offset;
        return D3D_OK;
    }
    HRESULT Unlock() override { return D3D_OK; }
    const std::shared_ptr<std::vector<uint8_t>>& bytes() const { return bytes_; }
    D3DFORMAT format() const { return format_; }

private:
    SoftDevice* device_;
    std::shared_ptr<std::vector<uint8_t>> bytes_;
    D3DPOOL pool_;
    D3DFORMAT format_;
};
using SoftVertexBuffer = SoftBuffer<VertexBuffer>;
using SoftIndexBuffer = SoftBuffer<IndexBuffer>;

}  // namespace gpu
