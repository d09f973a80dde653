#include "platform/d3d/soft_device.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/d3d/soft_resources.h"
#include "platform/vertex_declaration.h"

namespace gpu {

namespace {

VertexProgramCompiler vertexProgramCompiler = nullptr;


D3DMATRIX Identity() {
    D3DMATRIX m{};
    m.m[0] = m.m[5] = m.m[10] = m.m[15] = 1.0f;
    return m;
}

bool IsTextureFormat(D3DFORMAT format) {
    switch (format) {
    case D3DFMT_A8R8G8B8: case D3DFMT_X8R8G8B8: case D3DFMT_R5G6B5: case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5: case D3DFMT_A4R4G4B4: case D3DFMT_X4R4G4B4: case D3DFMT_L8: case D3DFMT_A8:
        return true;
    default:
        return false;
    }
}

bool IsTargetFormat(D3DFORMAT format) { return format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8; }

}  // namespace

void SetVertexProgramCompiler(VertexProgramCompiler compiler) { vertexProgramCompiler = compiler; }
VertexProgramCompiler GetVertexProgramCompiler() { return vertexProgramCompiler; }

int FormatBytesPerPixel(D3DFORMAT format) {
    switch (format) {
    case D3DFMT_A8R8G8B8: case D3DFMT_X8R8G8B8: case D3DFMT_D32: case D3DFMT_D24S8: case D3DFMT_D24X8:
    case D3DFMT_D24X4S4:
        return 4;
    case D3DFMT_R5G6B5: case D3DFMT_X1R5G5B5: case D3DFMT_A1R5G5B5: case D3DFMT_A4R4G4B4:
    case D3DFMT_X4R4G4B4: case D3DFMT_D16: case D3DFMT_D16_LOCKABLE: case D3DFMT_D15S1: case D3DFMT_A8L8:
        return 2;
    case D3DFMT_L8: case D3DFMT_A8:
        return 1;
    default:
        return 0;
    }
}

D3DCAPS8 StandardCaps() {
    D3DCAPS8 caps{};
    caps.DeviceType = D3DDEVTYPE_HAL;
    caps.DevCaps = D3DDEVCAPS_HWRASTERIZATION | D3DDEVCAPS_HWTRANSFORMANDLIGHT;
    caps.PrimitiveMiscCaps = D3DPMISCCAPS_BLENDOP;
    caps.RasterCaps = 0;
    // Power-of-two sizes, as the engine's texture sizing expects of the era.
    caps.TextureCaps = D3DPTEXTURECAPS_POW2;
    caps.MaxTextureWidth = caps.MaxTextureHeight = 2048;
    caps.MaxTextureBlendStages = caps.MaxSimultaneousTextures = kMaxTextureStages;
    caps.MaxActiveLights = kMaxLights;
    caps.MaxPrimitiveCount = 0xFFFFF;
    caps.MaxVertexIndex = 0xFFFFF;
    caps.MaxPointSize = 64.0f;
    caps.VertexShaderVersion = 0xFFFE0101;
    caps.MaxVertexShaderConst = kVertexShaderConstants;
    caps.PixelShaderVersion = 0;
    caps.MaxVertexBlendMatrixIndex = 0;
    return caps;
}

// A vertex shader: its input declaration and its program.
struct SoftDevice::ShaderEntry {
    VertexDeclaration declaration;
    std::unique_ptr<VertexProgram> program;
};

// Where the vertices of a draw come from.
struct SoftDevice::StreamInput {
    const uint8_t* bytes;
    size_t size;
    uint32_t stride;
};

// The indices of one draw as the index buffer holds them, each to be added
// to the base vertex index.
struct SoftDevice::IndexInput {
    const uint8_t* bytes;
    size_t indexSize;  // 2 or 4
    uint32_t base;
};

SoftDevice::SoftDevice(std::unique_ptr<Rasterizer> rasterizer, const D3DPRESENT_PARAMETERS& parameters,
                       bool softwareProcessing)
    : rasterizer_(std::move(rasterizer)), parameters_(parameters), softwareProcessing_(softwareProcessing) {
    SetDefaultStates();
    ResetBackBuffer();
}

SoftDevice::~SoftDevice() {
    for (auto& level : boundLevels_) level.reset();
    renderTarget_.reset();
    depth_.reset();
    backBuffer_.reset();
    stream_.reset();
    indices_.reset();
    shaders_.clear();
    rasterizer_.reset();
}

std::shared_ptr<SurfaceData> SoftDevice::NewSurfaceData(SurfaceData::Kind kind, uint32_t width, uint32_t height,
                                                        D3DFORMAT format, D3DPOOL pool, uint32_t usage) {
    Rasterizer* rasterizer = rasterizer_.get();
    std::shared_ptr<SurfaceData> data(new SurfaceData, [rasterizer](SurfaceData* d) {
        rasterizer->Forget(*d);
        delete d;
    });
    data->kind = kind;
    data->format = format;
    data->pool = pool;
    data->usage = usage;
    data->width = width;
    data->height = height;
    data->pitch = width * FormatBytesPerPixel(format);
    data->bytes = platform::ZeroedBytes(static_cast<size_t>(data->pitch) * height);
    return data;
}

void SoftDevice::SetDefaultStates() {
    std::fill(std::begin(renderStates_), std::end(renderStates_), 0u);
    uint32_t* rs = renderStates_;
    rs[D3DRS_ZENABLE] = parameters_.EnableAutoDepthStencil ? 1 : 0;
    rs[D3DRS_FILLMODE] = D3DFILL_SOLID;
    rs[D3DRS_SHADEMODE] = D3DSHADE_GOURAUD;
    rs[D3DRS_ZWRITEENABLE] = 1;
    rs[D3DRS_LASTPIXEL] = 1;
    rs[D3DRS_SRCBLEND] = D3DBLEND_ONE;
    rs[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
    rs[D3DRS_CULLMODE] = D3DCULL_CCW;
    rs[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
    rs[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
    rs[D3DRS_FOGSTART] = FloatBits(0.0f);
    rs[D3DRS_FOGEND] = FloatBits(1.0f);
    rs[D3DRS_FOGDENSITY] = FloatBits(1.0f);
    rs[D3DRS_STENCILFAIL] = rs[D3DRS_STENCILZFAIL] = rs[D3DRS_STENCILPASS] = 1;
    rs[D3DRS_STENCILFUNC] = D3DCMP_ALWAYS;
    rs[D3DRS_STENCILMASK] = rs[D3DRS_STENCILWRITEMASK] = 0xFFFFFFFF;
    rs[D3DRS_TEXTUREFACTOR] = 0xFFFFFFFF;
    rs[D3DRS_CLIPPING] = 1;
    rs[D3DRS_LIGHTING] = 1;
    rs[D3DRS_COLORVERTEX] = 1;
    rs[D3DRS_LOCALVIEWER] = 1;
    rs[D3DRS_DIFFUSEMATERIALSOURCE] = D3DMCS_COLOR1;
    rs[D3DRS_SPECULARMATERIALSOURCE] = D3DMCS_COLOR2;
    rs[D3DRS_SOFTWAREVERTEXPROCESSING] = softwareProcessing_ ? 1 : 0;
    rs[D3DRS_POINTSIZE] = FloatBits(1.0f);
    rs[D3DRS_POINTSIZE_MIN] = FloatBits(0.0f);
    rs[D3DRS_POINTSCALE_A] = FloatBits(1.0f);
    rs[D3DRS_POINTSIZE_MAX] = FloatBits(64.0f);
    rs[D3DRS_MULTISAMPLEANTIALIAS] = 1;
    rs[D3DRS_MULTISAMPLEMASK] = 0xFFFFFFFF;
    rs[D3DRS_COLORWRITEENABLE] = 0xF;
    rs[D3DRS_BLENDOP] = D3DBLENDOP_ADD;

    for (uint32_t stage = 0; stage < kMaxTextureStages; ++stage) {
        uint32_t* ts = stageStates_[stage];
        std::fill(ts, ts + 32, 0u);
        ts[D3DTSS_COLOROP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        ts[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        ts[D3DTSS_COLORARG2] = D3DTA_CURRENT;
        ts[D3DTSS_ALPHAOP] = stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
        ts[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        ts[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
        ts[D3DTSS_TEXCOORDINDEX] = stage;
        ts[D3DTSS_ADDRESSU] = ts[D3DTSS_ADDRESSV] = ts[D3DTSS_ADDRESSW] = D3DTADDRESS_WRAP;
        ts[D3DTSS_MAGFILTER] = ts[D3DTSS_MINFILTER] = D3DTEXF_POINT;
        ts[D3DTSS_MIPFILTER] = D3DTEXF_NONE;
        ts[D3DTSS_MAXANISOTROPY] = 1;
        ts[D3DTSS_COLORARG0] = ts[D3DTSS_ALPHAARG0] = ts[D3DTSS_RESULTARG] = D3DTA_CURRENT;
        boundLevels_[stage].reset();
    }
    world_ = view_ = projection_ = Identity();
    for (auto& m : textureTransforms_) m = Identity();
    viewport_ = {0, 0, parameters_.BackBufferWidth, parameters_.BackBufferHeight, 0.0f, 1.0f};
    material_ = {};
    std::memset(lights_, 0, sizeof lights_);
    std::fill(std::begin(lightEnabled_), std::end(lightEnabled_), false);
    std::memset(constants_, 0, sizeof constants_);
    stream_.reset();
    indices_.reset();
    streamStride_ = baseVertexIndex_ = 0;
    vertexShader_ = 0;
}

void SoftDevice::ResetBackBuffer() {
    backBuffer_ = NewSurfaceData(SurfaceData::Kind::BackBuffer, parameters_.BackBufferWidth,
                                 parameters_.BackBufferHeight, parameters_.BackBufferFormat, D3DPOOL_DEFAULT,
                                 D3DUSAGE_RENDERTARGET);
    renderTarget_ = backBuffer_;
    depth_.reset();
}

HRESULT SoftDevice::TestCooperativeLevel() {
    return lost_ ? D3DERR_DEVICENOTRESET : D3D_OK;
}

uint32_t SoftDevice::GetAvailableTextureMem() { return rasterizer_->AvailableTextureMemory(); }

HRESULT SoftDevice::GetDeviceCaps(D3DCAPS8* caps) {
    if (!caps) return D3DERR_INVALIDCALL;
    *caps = StandardCaps();
    return D3D_OK;
}

HRESULT SoftDevice::Reset(D3DPRESENT_PARAMETERS* parameters) {
    if (!parameters) return D3DERR_INVALIDCALL;
    // Direct3D refuses a reset while default-pool objects are alive.
    if (defaultPoolObjects_ != 0) return D3DERR_INVALIDCALL;
    parameters_ = *parameters;
    SetDefaultStates();
    ResetBackBuffer();
    lost_ = false;
    inScene_ = false;
    return D3D_OK;
}

HRESULT SoftDevice::Present() {
    if (lost_) return D3DERR_DEVICELOST;
    rasterizer_->Present(*backBuffer_);
    return D3D_OK;
}

HRESULT SoftDevice::GetBackBuffer(uint32_t index, Surface** surface) {
    if (index != 0 || !surface) return D3DERR_INVALIDCALL;
    *surface = new SoftSurface(this, backBuffer_);
    return D3D_OK;
}

HRESULT SoftDevice::CreateTexture(uint32_t width, uint32_t height, uint32_t, uint32_t usage, D3DFORMAT format,
                                  D3DPOOL pool, Texture** texture) {
    if (!texture || width == 0 || height == 0 || width > 2048 || height > 2048) return D3DERR_INVALIDCALL;
    const bool target = (usage & D3DUSAGE_RENDERTARGET) != 0;
    if (!IsTextureFormat(format) || (target && (!IsTargetFormat(format) || pool != D3DPOOL_DEFAULT))) {
        return D3DERR_INVALIDCALL;
    }
    *texture = new SoftTexture(this, NewSurfaceData(SurfaceData::Kind::TextureLevel, width, height, format, pool, usage));
    return D3D_OK;
}

HRESULT SoftDevice::CreateVertexBuffer(uint32_t length, uint32_t, uint32_t, D3DPOOL pool, VertexBuffer** buffer) {
    if (!buffer || length == 0) return D3DERR_INVALIDCALL;
    *buffer = new SoftVertexBuffer(this, length, pool);
    return D3D_OK;
}

HRESULT SoftDevice::CreateIndexBuffer(uint32_t length, uint32_t, D3DFORMAT format, D3DPOOL pool,
                                      IndexBuffer** buffer) {
    if (!buffer || length == 0 || (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32)) return D3DERR_INVALIDCALL;
    *buffer = new SoftIndexBuffer(this, length, pool, format);
    return D3D_OK;
}

HRESULT SoftDevice::CreateRenderTarget(uint32_t width, uint32_t height, D3DFORMAT format, uint32_t, int32_t,
                                       Surface** surface) {
    if (!surface || width == 0 || height == 0 || !IsTargetFormat(format)) return D3DERR_INVALIDCALL;
    *surface = new SoftSurface(this, NewSurfaceData(SurfaceData::Kind::RenderTarget, width, height, format,
                                                    D3DPOOL_DEFAULT, D3DUSAGE_RENDERTARGET));
    return D3D_OK;
}

HRESULT SoftDevice::CreateDepthStencilSurface(uint32_t width, uint32_t height, D3DFORMAT format, uint32_t,
                                              Surface** surface) {
    if (!surface || width == 0 || height == 0 || (format != D3DFMT_D16 && format != D3DFMT_D16_LOCKABLE)) {
        return D3DERR_INVALIDCALL;
    }
    *surface = new SoftSurface(this, NewSurfaceData(SurfaceData::Kind::DepthStencil, width, height, format,
                                                    D3DPOOL_DEFAULT, D3DUSAGE_DEPTHSTENCIL));
    return D3D_OK;
}

HRESULT SoftDevice::CreateImageSurface(uint32_t width, uint32_t height, D3DFORMAT format, Surface** surface) {
    if (!surface || width == 0 || height == 0 || FormatBytesPerPixel(format) == 0) return D3DERR_INVALIDCALL;
    *surface = new SoftSurface(this, NewSurfaceData(SurfaceData::Kind::Image, width, height, format,
                                                    D3DPOOL_SYSTEMMEM, 0));
    return D3D_OK;
}

HRESULT SoftDevice::CopyRects(Surface* source, const RECT* rects, uint32_t count, Surface* destination,
                              const POINT* points) {
    if (!source || !destination) return D3DERR_INVALIDCALL;
    SurfaceData& from = *static_cast<SoftSurface*>(source)->data();
    SurfaceData& to = *static_cast<SoftSurface*>(destination)->data();
    if (from.format != to.format || FormatBytesPerPixel(from.format) == 0 || &from == &to) return D3DERR_INVALIDCALL;
    const RECT whole{0, 0, static_cast<int32_t>(from.width), static_cast<int32_t>(from.height)};
    if (!rects) count = 1;
    // Every rectangle must lie inside both surfaces before anything is copied.
    for (uint32_t i = 0; i < count; ++i) {
        const RECT& r = rects ? rects[i] : whole;
        const POINT p = points ? points[i] : POINT{r.left, r.top};
        if (r.left < 0 || r.top < 0 || r.right > whole.right || r.bottom > whole.bottom || r.left > r.right ||
            r.top > r.bottom || p.x < 0 || p.y < 0 || p.x + (r.right - r.left) > static_cast<int32_t>(to.width) ||
            p.y + (r.bottom - r.top) > static_cast<int32_t>(to.height)) {
            return D3DERR_INVALIDCALL;
        }
    }
    const int bpp = FormatBytesPerPixel(from.format);
    rasterizer_->Flush();
    for (uint32_t i = 0; i < count; ++i) {
        const RECT& r = rects ? rects[i] : whole;
        const POINT p = points ? points[i] : POINT{r.left, r.top};
        if (r.left == r.right || r.top == r.bottom) continue;
        if (rasterizer_->CopyRect(from, r, to, p)) continue;
        if (from.cpuStale) rasterizer_->Download(from);
        if (to.cpuStale) rasterizer_->Download(to);
        const size_t rowBytes = static_cast<size_t>(r.right - r.left) * bpp;
        for (int32_t y = 0; y < r.bottom - r.top; ++y) {
            std::memcpy(to.bytes.data() + (p.y + y) * to.pitch + p.x * bpp,
                        from.bytes.data() + (r.top + y) * from.pitch + r.left * bpp, rowBytes);
        }
        to.gpuStale = true;
    }
    return D3D_OK;
}

HRESULT SoftDevice::UpdateTexture(Texture* source, Texture* destination) {
    if (!source || !destination) return D3DERR_INVALIDCALL;
    SurfaceData& from = *static_cast<SoftTexture*>(source)->level();
    SurfaceData& to = *static_cast<SoftTexture*>(destination)->level();
    if (from.pool != D3DPOOL_SYSTEMMEM || to.pool != D3DPOOL_DEFAULT || from.format != to.format ||
        from.width != to.width || from.height != to.height) {
        return D3DERR_INVALIDCALL;
    }
    rasterizer_->Flush();
    to.bytes = from.bytes;
    to.cpuStale = false;
    to.gpuStale = true;
    return D3D_OK;
}

HRESULT SoftDevice::SetRenderTarget(Surface* renderTarget, Surface* depthStencil) {
    if (renderTarget) {
        auto data = static_cast<SoftSurface*>(renderTarget)->data();
        if (!data->IsTarget() || data->kind == SurfaceData::Kind::DepthStencil) return D3DERR_INVALIDCALL;
        // A new colour target takes a viewport of its full size, as in Direct3D.
        if (data != renderTarget_) viewport_ = {0, 0, data->width, data->height, 0.0f, 1.0f};
        renderTarget_ = data;
    }
    if (depthStencil) {
        auto data = static_cast<SoftSurface*>(depthStencil)->data();
        if (data->kind != SurfaceData::Kind::DepthStencil) return D3DERR_INVALIDCALL;
        depth_ = data;
    } else {
        depth_.reset();
    }
    return D3D_OK;
}

HRESULT SoftDevice::GetRenderTarget(Surface** surface) {
    if (!surface) return D3DERR_INVALIDCALL;
    *surface = new SoftSurface(this, renderTarget_);
    return D3D_OK;
}

HRESULT SoftDevice::GetDepthStencilSurface(Surface** surface) {
    if (!surface) return D3DERR_INVALIDCALL;
    if (!depth_) return D3DERR_NOTFOUND;
    *surface = new SoftSurface(this, depth_);
    return D3D_OK;
}

HRESULT SoftDevice::BeginScene() {
    if (inScene_) return D3DERR_INVALIDCALL;
    inScene_ = true;
    return D3D_OK;
}

HRESULT SoftDevice::EndScene() {
    if (!inScene_) return D3DERR_INVALIDCALL;
    inScene_ = false;
    return D3D_OK;
}

RasterState SoftDevice::MakeRasterState() {
    RasterState state;
    state.renderStates = renderStates_;
    state.stageStates = stageStates_;
    for (int stage = 0; stage < kMaxTextureStages; ++stage) state.textures[stage].level = boundLevels_[stage].get();
    state.viewport = viewport_;
    state.target = renderTarget_.get();
    state.depth = depth_.get();
    return state;
}

HRESULT SoftDevice::Clear(uint32_t flags, uint32_t colour, float z, uint32_t) {
    if ((flags & D3DCLEAR_ZBUFFER) && !depth_) return D3DERR_INVALIDCALL;
    if (lost_) return D3D_OK;
    rasterizer_->Clear(MakeRasterState(), flags, colour, z);
    return D3D_OK;
}

HRESULT SoftDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
    if (!matrix) return D3DERR_INVALIDCALL;
    switch (state) {
    case D3DTS_WORLD: world_ = *matrix; return D3D_OK;
    case D3DTS_VIEW: view_ = *matrix; return D3D_OK;
    case D3DTS_PROJECTION: projection_ = *matrix; return D3D_OK;
    default:
        if (state >= D3DTS_TEXTURE0 && state < D3DTS_TEXTURE0 + 8) {
            textureTransforms_[state - D3DTS_TEXTURE0] = *matrix;
            return D3D_OK;
        }
        return D3DERR_INVALIDCALL;
    }
}

HRESULT SoftDevice::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
    if (!matrix) return D3DERR_INVALIDCALL;
    switch (state) {
    case D3DTS_WORLD: *matrix = world_; return D3D_OK;
    case D3DTS_VIEW: *matrix = view_; return D3D_OK;
    case D3DTS_PROJECTION: *matrix = projection_; return D3D_OK;
    default:
        if (state >= D3DTS_TEXTURE0 && state < D3DTS_TEXTURE0 + 8) {
            *matrix = textureTransforms_[state - D3DTS_TEXTURE0];
            return D3D_OK;
        }
        return D3DERR_INVALIDCALL;
    }
}

HRESULT SoftDevice::SetViewport(const D3DVIEWPORT8* viewport) {
    if (!viewport || viewport->X + viewport->Width > renderTarget_->width ||
        viewport->Y + viewport->Height > renderTarget_->height) {
        return D3DERR_INVALIDCALL;
    }
    viewport_ = *viewport;
    return D3D_OK;
}

HRESULT SoftDevice::GetViewport(D3DVIEWPORT8* viewport) {
    if (!viewport) return D3DERR_INVALIDCALL;
    *viewport = viewport_;
    return D3D_OK;
}

HRESULT SoftDevice::SetMaterial(const D3DMATERIAL8* material) {
    if (!material) return D3DERR_INVALIDCALL;
    material_ = *material;
    return D3D_OK;
}

HRESULT SoftDevice::SetLight(uint32_t index, const D3DLIGHT8* light) {
    if (!light || index >= kMaxLights) return D3DERR_INVALIDCALL;
    lights_[index] = *light;
    return D3D_OK;
}

HRESULT SoftDevice::LightEnable(uint32_t index, int32_t enable) {
    if (index >= kMaxLights) return D3DERR_INVALIDCALL;
    lightEnabled_[index] = enable != 0;
    return D3D_OK;
}

HRESULT SoftDevice::SetRenderState(D3DRENDERSTATETYPE state, uint32_t value) {
    if (state >= 256) return D3DERR_INVALIDCALL;
    renderStates_[state] = value;
    return D3D_OK;
}

HRESULT SoftDevice::GetRenderState(D3DRENDERSTATETYPE state, uint32_t* value) {
    if (state >= 256 || !value) return D3DERR_INVALIDCALL;
    *value = renderStates_[state];
    return D3D_OK;
}

HRESULT SoftDevice::SetTexture(uint32_t stage, Texture* texture) {
    if (stage >= kMaxTextureStages) return D3DERR_INVALIDCALL;
    if (texture) {
        auto level = static_cast<SoftTexture*>(texture)->level();
        if (level->pool == D3DPOOL_SYSTEMMEM) return D3DERR_INVALIDCALL;
        boundLevels_[stage] = level;
    } else {
        boundLevels_[stage].reset();
    }
    return D3D_OK;
}

HRESULT SoftDevice::SetTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type, uint32_t value) {
    if (stage >= kMaxTextureStages || type >= 32) return D3DERR_INVALIDCALL;
    stageStates_[stage][type] = value;
    return D3D_OK;
}

HRESULT SoftDevice::GetTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type, uint32_t* value) {
    if (stage >= kMaxTextureStages || type >= 32 || !value) return D3DERR_INVALIDCALL;
    *value = stageStates_[stage][type];
    return D3D_OK;
}

HRESULT SoftDevice::SetStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t stride) {
    if (stream != 0) return D3DERR_INVALIDCALL;
    stream_ = buffer ? static_cast<SoftVertexBuffer*>(buffer)->bytes() : nullptr;
    streamStride_ = stride;
    return D3D_OK;
}

HRESULT SoftDevice::SetIndices(IndexBuffer* buffer, uint32_t baseVertexIndex) {
    auto* soft = static_cast<SoftIndexBuffer*>(buffer);
    indices_ = soft ? soft->bytes() : nullptr;
    indexFormat_ = soft ? soft->format() : D3DFMT_INDEX16;
    baseVertexIndex_ = baseVertexIndex;
    return D3D_OK;
}

TransformState SoftDevice::MakeTransformState() const {
    TransformState t;
    t.renderStates = renderStates_;
    t.stageStates = stageStates_;
    t.world = world_;
    t.view = view_;
    t.projection = projection_;
    t.viewport = viewport_;
    t.material = material_;
    t.lights = lights_;
    t.lightEnabled = lightEnabled_;
    return t;
}

namespace {

template <typename Index>
Index IndexAt(const uint8_t* bytes, uint32_t i) {
    Index index;
    std::memcpy(&index, bytes + static_cast<size_t>(i) * sizeof(Index), sizeof(Index));
    return index;
}

// Lowest and highest vertex the first `count` indices reach, base added.
template <typename Index>
std::pair<uint32_t, uint32_t> VertexRange(const uint8_t* bytes, uint32_t count, uint32_t base) {
    uint32_t low = UINT32_MAX, high = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t vertex = IndexAt<Index>(bytes, i) + base;
        low = std::min(low, vertex);
        high = std::max(high, vertex);
    }
    return {low, high};
}

// The indices with base added and then first taken away.
template <typename Index>
void RebaseIndices(const uint8_t* bytes, uint32_t count, uint32_t base, uint32_t first, uint32_t* out) {
    for (uint32_t i = 0; i < count; ++i) out[i] = IndexAt<Index>(bytes, i) + base - first;
}

}  // namespace

HRESULT SoftDevice::ProcessAndDraw(D3DPRIMITIVETYPE type, uint32_t primitiveCount, const StreamInput& input,
                                   const IndexInput* indices) {
    if (primitiveCount == 0) return D3D_OK;
    const uint32_t used = VertexCountOf(type, primitiveCount);
    if (used == 0) return D3DERR_INVALIDCALL;
    // Only the vertices the indices reach are processed (a subset of a large
    // buffer costs its own size), and the indices are rebased onto them.
    uint32_t first = 0, vertexCount = used;
    if (indices) {
        const auto [low, high] = indices->indexSize == 4 ? VertexRange<uint32_t>(indices->bytes, used, indices->base)
                                                         : VertexRange<uint16_t>(indices->bytes, used, indices->base);
        first = low;
        vertexCount = high - first + 1;
    }
    const ShaderEntry* shader = nullptr;
    uint32_t vertexSize;
    FvfLayout layout;
    if (IsShaderHandle(vertexShader_)) {
        const size_t slot = (vertexShader_ >> 1) - 1;
        if (slot >= shaders_.size() || !shaders_[slot]) return D3DERR_INVALIDCALL;
        shader = shaders_[slot].get();
        vertexSize = shader->declaration.stride;
    } else {
        layout = DecodeFvf(vertexShader_);
        vertexSize = layout.size;
    }
    if (vertexSize == 0 || input.stride < vertexSize ||
        (static_cast<size_t>(first) + vertexCount - 1) * input.stride + vertexSize > input.size) {
        return D3DERR_INVALIDCALL;
    }
    // A backend that draws nothing reads neither the vertices nor the indices.
    if (lost_ || !rasterizer_->Draws()) return D3D_OK;
    if (indices) {
        indexScratch_.resize(used);
        if (indices->indexSize == 4) RebaseIndices<uint32_t>(indices->bytes, used, indices->base, first, indexScratch_.data());
        else RebaseIndices<uint16_t>(indices->bytes, used, indices->base, first, indexScratch_.data());
    }

    const TransformState transform = MakeTransformState();
    const VertexProcessor processor(transform);
    clipVertices_.resize(vertexCount);
    for (uint32_t i = 0; i < vertexCount; ++i) {
        const uint8_t* vertex = input.bytes + (static_cast<size_t>(first) + i) * input.stride;
        if (!shader) {
            processor.ProcessFvf(layout, vertex, &clipVertices_[i]);
            continue;
        }
        float registers[kShaderInputCount][4] = {};
        LoadVertexInputs(shader->declaration, vertex, registers);
        VertexProgramOutput output{};
        output.fog = 1.0f;
        shader->program->Run(registers, constants_, &output);
        processor.ProcessProgramOutput(output, &clipVertices_[i]);
    }
    screenVertices_.clear();
    const PrimitiveKind kind = AssemblePrimitives(type, primitiveCount, indices ? indexScratch_.data() : nullptr,
                                                  clipVertices_.data(), viewport_,
                                                  renderStates_[D3DRS_CULLMODE], screenVertices_);
    if (!screenVertices_.empty()) {
        rasterizer_->Draw(MakeRasterState(), kind, screenVertices_.data(), screenVertices_.size());
    }
    return D3D_OK;
}

HRESULT SoftDevice::DrawPrimitiveUP(D3DPRIMITIVETYPE type, uint32_t primitiveCount, const void* vertices,
                                    uint32_t stride) {
    if (!vertices || stride == 0) return D3DERR_INVALIDCALL;
    const uint32_t count = VertexCountOf(type, primitiveCount);
    const StreamInput input{static_cast<const uint8_t*>(vertices), static_cast<size_t>(count) * stride, stride};
    // DrawPrimitiveUP leaves the stream source unset, as in Direct3D.
    stream_.reset();
    streamStride_ = 0;
    return ProcessAndDraw(type, primitiveCount, input, nullptr);
}

HRESULT SoftDevice::DrawPrimitive(D3DPRIMITIVETYPE type, uint32_t startVertex, uint32_t primitiveCount) {
    if (!stream_ || streamStride_ == 0) return D3DERR_INVALIDCALL;
    const size_t start = static_cast<size_t>(startVertex) * streamStride_;
    if (start > stream_->size()) return D3DERR_INVALIDCALL;
    const StreamInput input{stream_->data() + start, stream_->size() - start, streamStride_};
    return ProcessAndDraw(type, primitiveCount, input, nullptr);
}

HRESULT SoftDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, uint32_t, uint32_t, uint32_t startIndex,
                                         uint32_t primitiveCount) {
    if (!stream_ || !indices_ || streamStride_ == 0) return D3DERR_INVALIDCALL;
    const uint32_t used = VertexCountOf(type, primitiveCount);
    const size_t indexSize = indexFormat_ == D3DFMT_INDEX32 ? 4 : 2;
    if ((static_cast<size_t>(startIndex) + used) * indexSize > indices_->size()) return D3DERR_INVALIDCALL;
    const StreamInput input{stream_->data(), stream_->size(), streamStride_};
    const IndexInput indices{indices_->data() + startIndex * indexSize, indexSize, baseVertexIndex_};
    return ProcessAndDraw(type, primitiveCount, input, &indices);
}

HRESULT SoftDevice::CreateVertexShader(const uint32_t* declaration, const uint32_t* function, uint32_t* handle,
                                       uint32_t) {
    if (!declaration || !function || !handle) return D3DERR_INVALIDCALL;
    auto entry = std::make_unique<ShaderEntry>();
    if (!ParseVertexDeclaration(declaration, SIZE_MAX, &entry->declaration)) return D3DERR_INVALIDCALL;
    if (!vertexProgramCompiler) return D3DERR_NOTAVAILABLE;
    entry->program.reset(vertexProgramCompiler(function));
    if (!entry->program) return D3DERR_INVALIDCALL;
    // Constants in the declaration are loaded when the shader is created.
    for (const DeclConstant& c : entry->declaration.constants) std::memcpy(constants_[c.reg], c.value, 16);
    shaders_.push_back(std::move(entry));
    *handle = (static_cast<uint32_t>(shaders_.size()) << 1) | 1u;
    return D3D_OK;
}

HRESULT SoftDevice::SetVertexShader(uint32_t handle) {
    if (IsShaderHandle(handle)) {
        const size_t slot = (handle >> 1) - 1;
        if (slot >= shaders_.size() || !shaders_[slot]) return D3DERR_INVALIDCALL;
    }
    vertexShader_ = handle;
    return D3D_OK;
}

HRESULT SoftDevice::GetVertexShader(uint32_t* handle) {
    if (!handle) return D3DERR_INVALIDCALL;
    *handle = vertexShader_;
    return D3D_OK;
}

HRESULT SoftDevice::DeleteVertexShader(uint32_t handle) {
    const size_t slot = (handle >> 1) - 1;
    if (!IsShaderHandle(handle) || slot >= shaders_.size() || !shaders_[slot]) return D3DERR_INVALIDCALL;
    shaders_[slot].reset();
    if (vertexShader_ == handle) vertexShader_ = 0;
    return D3D_OK;
}

HRESULT SoftDevice::SetVertexShaderConstant(uint32_t reg, const void* data, uint32_t count) {
    if (!data || reg > kVertexShaderConstants || count > kVertexShaderConstants - reg) return D3DERR_INVALIDCALL;
    std::memcpy(constants_[reg], data, 16 * static_cast<size_t>(count));
    return D3D_OK;
}

// ---------------------------------------------------------------------------

HRESULT SoftDirect3D::GetAdapterIdentifier(uint32_t adapter, uint32_t, D3DADAPTER_IDENTIFIER8* id) {
    if (adapter != 0 || !id) return D3DERR_INVALIDCALL;
    *id = {};
    std::snprintf(id->Description, sizeof id->Description, "%s", AdapterName());
    std::snprintf(id->Driver, sizeof id->Driver, "%s", DriverName());
    return D3D_OK;
}

uint32_t SoftDirect3D::GetAdapterModeCount(uint32_t adapter) { return adapter == 0 ? 2 : 0; }

HRESULT SoftDirect3D::EnumAdapterModes(uint32_t adapter, uint32_t mode, D3DDISPLAYMODE* out) {
    if (adapter != 0 || mode >= 2 || !out) return D3DERR_INVALIDCALL;
    // Full screen shows the 640x480 back buffer scaled on the desktop, so the
    // game's size is always on offer, in the desktop's 32-bit format.
    *out = mode == 0 ? D3DDISPLAYMODE{640, 480, 60, D3DFMT_X8R8G8B8} : DesktopMode();
    return D3D_OK;
}

HRESULT SoftDirect3D::GetAdapterDisplayMode(uint32_t adapter, D3DDISPLAYMODE* out) {
    if (adapter != 0 || !out) return D3DERR_INVALIDCALL;
    *out = DesktopMode();
    return D3D_OK;
}

HRESULT SoftDirect3D::CheckDeviceFormat(uint32_t adapter, D3DDEVTYPE, D3DFORMAT, uint32_t usage,
                                        uint32_t resourceType, D3DFORMAT checkFormat) {
    if (adapter != 0) return D3DERR_INVALIDCALL;
    bool supported;
    if (usage & D3DUSAGE_DEPTHSTENCIL) supported = checkFormat == D3DFMT_D16 || checkFormat == D3DFMT_D16_LOCKABLE;
    else if (usage & D3DUSAGE_RENDERTARGET) supported = IsTargetFormat(checkFormat);
    else if (resourceType == D3DRTYPE_TEXTURE) supported = IsTextureFormat(checkFormat);
    else supported = FormatBytesPerPixel(checkFormat) != 0;
    return supported ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT SoftDirect3D::GetDeviceCaps(uint32_t adapter, D3DDEVTYPE type, D3DCAPS8* caps) {
    if (adapter != 0 || !caps) return D3DERR_INVALIDCALL;
    *caps = StandardCaps();
    caps->DeviceType = type;
    return D3D_OK;
}

HRESULT SoftDirect3D::CreateDevice(uint32_t adapter, D3DDEVTYPE, void*, uint32_t flags,
                                   D3DPRESENT_PARAMETERS* parameters, Device** device) {
    if (adapter != 0 || !parameters || !device) return D3DERR_INVALIDCALL;
    if (parameters->BackBufferWidth == 0 || parameters->BackBufferHeight == 0 ||
        !IsTargetFormat(parameters->BackBufferFormat)) {
        return D3DERR_INVALIDCALL;
    }
    auto rasterizer = MakeRasterizer(*parameters);
    if (!rasterizer) return D3DERR_NOTAVAILABLE;
    *device = new SoftDevice(std::move(rasterizer), *parameters, (flags & D3DCREATE_SOFTWARE_VERTEXPROCESSING) != 0);
    return D3D_OK;
}

}  // namespace gpu
