#pragma once
// The device both backends share: every resource keeps CPU memory, every
// state lives here with Direct3D 8's defaults, vertices are processed on the
// CPU, and only screen-space primitives, clears and presents reach the
// backend's Rasterizer. Device loss follows Direct3D: Present reports it,
// Reset succeeds only when every default-pool object has been released, and
// Reset returns every state to its default.
#include <memory>
#include <vector>

#include "platform/d3d/raster.h"
#include "platform/d3d/vertex_pipeline.h"

namespace gpu {

int FormatBytesPerPixel(D3DFORMAT format);

class SoftDevice : public Device {
public:
    SoftDevice(std::unique_ptr<Rasterizer> rasterizer, const D3DPRESENT_PARAMETERS& parameters,
               bool softwareProcessing);
    ~SoftDevice() override;

    HRESULT TestCooperativeLevel() override;
    uint32_t GetAvailableTextureMem() override;
    HRESULT ResourceManagerDiscardBytes(uint32_t) override { return D3D_OK; }
    HRESULT GetDeviceCaps(D3DCAPS8* caps) override;
    HRESULT Reset(D3DPRESENT_PARAMETERS* parameters) override;
    HRESULT Present() override;
    HRESULT GetBackBuffer(uint32_t index, Surface** surface) override;

    HRESULT CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage, D3DFORMAT format,
                          D3DPOOL pool, Texture** texture) override;
    HRESULT CreateVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, D3DPOOL pool,
                               VertexBuffer** buffer) override;
    HRESULT CreateIndexBuffer(uint32_t length, uint32_t usage, D3DFORMAT format, D3DPOOL pool,
                              IndexBuffer** buffer) override;
    HRESULT CreateRenderTarget(uint32_t width, uint32_t height, D3DFORMAT format, uint32_t multiSample,
                               int32_t lockable, Surface** surface) override;
    HRESULT CreateDepthStencilSurface(uint32_t width, uint32_t height, D3DFORMAT format, uint32_t multiSample,
                                      Surface** surface) override;
    HRESULT CreateImageSurface(uint32_t width, uint32_t height, D3DFORMAT format, Surface** surface) override;
    HRESULT CopyRects(Surface* source, const RECT* rects, uint32_t count, Surface* destination,
                      const POINT* points) override;
    HRESULT UpdateTexture(Texture* source, Texture* destination) override;
    HRESULT SetRenderTarget(Surface* renderTarget, Surface* depthStencil) override;
    HRESULT GetRenderTarget(Surface** surface) override;
    HRESULT GetDepthStencilSurface(Surface** surface) override;

    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Clear(uint32_t flags, uint32_t colour, float z, uint32_t stencil) override;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override;
    HRESULT SetViewport(const D3DVIEWPORT8* viewport) override;
    HRESULT GetViewport(D3DVIEWPORT8* viewport) override;
    HRESULT SetMaterial(const D3DMATERIAL8* material) override;
    HRESULT SetLight(uint32_t index, const D3DLIGHT8* light) override;
    HRESULT LightEnable(uint32_t index, int32_t enable) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, uint32_t value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, uint32_t* value) override;
    HRESULT SetTexture(uint32_t stage, Texture* texture) override;
    HRESULT SetTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type, uint32_t value) override;
    HRESULT GetTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type, uint32_t* value) override;

    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, uint32_t startVertex, uint32_t primitiveCount) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, uint32_t minIndex, uint32_t vertexCount,
                                 uint32_t startIndex, uint32_t primitiveCount) override;
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, uint32_t primitiveCount, const void* vertices,
                            uint32_t stride) override;
    HRESULT SetStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t stride) override;
    HRESULT SetIndices(IndexBuffer* buffer, uint32_t baseVertexIndex) override;

    HRESULT CreateVertexShader(const uint32_t* declaration, const uint32_t* function, uint32_t* handle,
                               uint32_t usage) override;
    HRESULT SetVertexShader(uint32_t handle) override;
    HRESULT GetVertexShader(uint32_t* handle) override;
    HRESULT DeleteVertexShader(uint32_t handle) override;
    HRESULT SetVertexShaderConstant(uint32_t reg, const void* data, uint32_t count) override;

    void LoseDevice() override { lost_ = true; }

    // Bookkeeping of the resources (they call these from their constructors
    // and destructors).
    void AddDefaultPoolObject(int delta) { defaultPoolObjects_ += delta; }
    std::shared_ptr<SurfaceData> NewSurfaceData(SurfaceData::Kind kind, uint32_t width, uint32_t height,
                                                D3DFORMAT format, D3DPOOL pool, uint32_t usage);
    Rasterizer& rasterizer() { return *rasterizer_; }

private:
    struct ShaderEntry;
    struct StreamInput;
    struct IndexInput;
    void SetDefaultStates();
    void ResetBackBuffer();
    RasterState MakeRasterState();
    TransformState MakeTransformState() const;
    // `indices` is null for sequential vertices.
    HRESULT ProcessAndDraw(D3DPRIMITIVETYPE type, uint32_t primitiveCount, const StreamInput& input,
                           const IndexInput* indices);

    std::unique_ptr<Rasterizer> rasterizer_;
    D3DPRESENT_PARAMETERS parameters_;
    bool softwareProcessing_;
    bool lost_ = false;
    bool inScene_ = false;
    int defaultPoolObjects_ = 0;

    uint32_t renderStates_[256];
    uint32_t stageStates_[kMaxTextureStages][32];
    D3DMATRIX world_, view_, projection_, textureTransforms_[8];
    D3DVIEWPORT8 viewport_;
    D3DMATERIAL8 material_;
    D3DLIGHT8 lights_[kMaxLights];
    bool lightEnabled_[kMaxLights];
    float constants_[kVertexShaderConstants][4];

    std::shared_ptr<SurfaceData> backBuffer_, renderTarget_, depth_;
    std::shared_ptr<SurfaceData> boundLevels_[kMaxTextureStages];
    std::shared_ptr<std::vector<uint8_t>> stream_, indices_;
    uint32_t streamStride_ = 0, baseVertexIndex_ = 0;
    D3DFORMAT indexFormat_ = D3DFMT_INDEX16;
    uint32_t vertexShader_ = 0;
    std::vector<std::unique_ptr<ShaderEntry>> shaders_;

    std::vector<ClipVertex> clipVertices_;
    std::vector<ScreenVertex> screenVertices_;
    std::vector<uint32_t> indexScratch_;
};

// A Direct3D object whose devices are SoftDevices on one kind of backend.
class SoftDirect3D : public Direct3D {
public:
    HRESULT GetAdapterIdentifier(uint32_t adapter, uint32_t flags, D3DADAPTER_IDENTIFIER8* id) override;
    uint32_t GetAdapterModeCount(uint32_t adapter) override;
    HRESULT EnumAdapterModes(uint32_t adapter, uint32_t mode, D3DDISPLAYMODE* out) override;
    HRESULT GetAdapterDisplayMode(uint32_t adapter, D3DDISPLAYMODE* out) override;
    HRESULT CheckDeviceFormat(uint32_t adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, uint32_t usage,
                              uint32_t resourceType, D3DFORMAT checkFormat) override;
    HRESULT GetDeviceCaps(uint32_t adapter, D3DDEVTYPE type, D3DCAPS8* caps) override;
    HRESULT CreateDevice(uint32_t adapter, D3DDEVTYPE type, void* focusWindow, uint32_t flags,
                         D3DPRESENT_PARAMETERS* parameters, Device** device) override;

protected:
    virtual std::unique_ptr<Rasterizer> MakeRasterizer(const D3DPRESENT_PARAMETERS& parameters) = 0;
    virtual const char* AdapterName() = 0;
    virtual const char* DriverName() = 0;
    // The desktop's size; the display modes list the game's 640x480 too.
    virtual D3DDISPLAYMODE DesktopMode() = 0;
};

// The capabilities every device of this layer reports (the roles and sizes
// the engine derives from them are those of the era's hardware).
D3DCAPS8 StandardCaps();

}  // namespace gpu
