// The CPU vertex pipeline: what screen-space primitives a device hands to its
// backend for a given draw and state.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/d3d/soft_device.h"
#include "platform/d3d/vertex_pipeline.h"

namespace {

using namespace gpu;

// A backend that keeps what it is asked to draw.
class CaptureRasterizer : public Rasterizer {
public:
    struct Batch {
        PrimitiveKind kind;
        std::vector<ScreenVertex> vertices;
    };
    std::vector<Batch>* batches;
    explicit CaptureRasterizer(std::vector<Batch>* out) : batches(out) {}
    void Draw(const RasterState&, PrimitiveKind kind, const ScreenVertex* v, size_t n) override {
        batches->push_back({kind, std::vector<ScreenVertex>(v, v + n)});
    }
    void Clear(const RasterState&, uint32_t, uint32_t, float) override {}
    void Present(SurfaceData&) override {}
    void Flush() override {}
    void Download(SurfaceData& s) override { s.cpuStale = false; }
    bool CopyRect(SurfaceData&, const RECT&, SurfaceData&, const POINT&) override { return false; }
    void Forget(SurfaceData&) override {}
    uint32_t AvailableTextureMemory() override { return 1u << 28; }
};


class PipelineTest : public ::testing::Test {
protected:
    void SetUp() override {
        device = new SoftDevice(std::make_unique<CaptureRasterizer>(&batches),
                                WindowedPresentParameters(640, 480, nullptr), true);
        device->SetRenderState(D3DRS_LIGHTING, 0);
    }
    void TearDown() override { device->Release(); }
    std::vector<ScreenVertex> Drawn() {
        std::vector<ScreenVertex> all;
        for (const auto& b : batches) all.insert(all.end(), b.vertices.begin(), b.vertices.end());
        return all;
    }
    std::vector<CaptureRasterizer::Batch> batches;
    SoftDevice* device = nullptr;
};

struct XyzVertex { float x, y, z; };
struct NormalVertex { float x, y, z, nx, ny, nz; };

TEST_F(PipelineTest, ViewportMapsClipSpaceToPixelsWithCentresOnIntegers) {
    // Identity transforms: clip space is the vertex. (-1, 1) is the top-left
    // corner of the viewport, (1, -1) the bottom-right.
    const XyzVertex v[3] = {{-1, 1, 0.25f}, {1, 1, 0.25f}, {1, -1, 0.25f}};
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetVertexShader(D3DFVF_XYZ);
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(XyzVertex)), D3D_OK);
    const auto s = Drawn();
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(s[0].x, 0.0f);
    EXPECT_EQ(s[0].y, 0.0f);
    EXPECT_EQ(s[2].x, 640.0f);
    EXPECT_EQ(s[2].y, 480.0f);
    EXPECT_EQ(s[0].z, 0.25f);
    EXPECT_EQ(s[0].rhw, 1.0f);
    // Unlit without a colour: opaque white, no fog.
    EXPECT_EQ(s[0].diffuse[3], 1.0f);
    EXPECT_EQ(s[0].fog, 1.0f);
}

TEST_F(PipelineTest, CullingFollowsDirect3DWinding) {
    // On screen (y down) this runs clockwise: Direct3D's front face.
    const XyzVertex clockwise[3] = {{-0.5f, 0.5f, 0.5f}, {0.5f, 0.5f, 0.5f}, {0.0f, -0.5f, 0.5f}};
    const XyzVertex counter[3] = {clockwise[0], clockwise[2], clockwise[1]};
    device->SetVertexShader(D3DFVF_XYZ);
    struct Case { uint32_t cull; const XyzVertex* triangle; size_t drawn; };
    for (const Case& c : {Case{D3DCULL_CCW, clockwise, 3}, Case{D3DCULL_CCW, counter, 0}, Case{D3DCULL_CW, clockwise, 0},
                          Case{D3DCULL_CW, counter, 3}, Case{D3DCULL_NONE, counter, 3}}) {
        batches.clear();
        device->SetRenderState(D3DRS_CULLMODE, c.cull);
        device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, c.triangle, sizeof(XyzVertex));
        EXPECT_EQ(Drawn().size(), c.drawn) << "cull mode " << c.cull;
    }
}

TEST_F(PipelineTest, StripsAndFansKeepOneWindingAndTheirFlatVertex) {
    // A strip of two triangles whose second reverses its vertex order on
    // screen: with counter-clockwise culling both must survive.
    struct Coloured { float x, y, z, rhw; uint32_t colour; };
    const Coloured strip[4] = {{0, 0, 0, 1, 1}, {10, 0, 0, 1, 2}, {0, 10, 0, 1, 3}, {10, 10, 0, 1, 4}};
    device->SetVertexShader(D3DFVF_XYZRHW | D3DFVF_DIFFUSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, strip, sizeof(Coloured));
    auto s = Drawn();
    ASSERT_EQ(s.size(), 6u);
    // The first vertex of each triangle is the strip's vertex i (blue 1, then 2).
    EXPECT_FLOAT_EQ(s[0].diffuse[2] * 255.0f, 1.0f);
    EXPECT_FLOAT_EQ(s[3].diffuse[2] * 255.0f, 2.0f);
    batches.clear();
    const Coloured fan[4] = {{5, 5, 0, 1, 1}, {0, 0, 0, 1, 2}, {10, 0, 0, 1, 3}, {10, 10, 0, 1, 4}};
    device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, fan, sizeof(Coloured));
    s = Drawn();
    ASSERT_EQ(s.size(), 6u);
    EXPECT_FLOAT_EQ(s[0].diffuse[2] * 255.0f, 2.0f);  // fan triangles start at their first outer vertex
    EXPECT_FLOAT_EQ(s[3].diffuse[2] * 255.0f, 3.0f);
}

TEST_F(PipelineTest, TrianglesCrossingTheNearPlaneAreClipped) {
    // Perspective-like: w = z + 1 through the projection's last column.
    D3DMATRIX projection{};
    projection.m[0] = projection.m[5] = projection.m[10] = 1.0f;
    projection.m[11] = 1.0f;
    projection.m[15] = 1.0f;
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetVertexShader(D3DFVF_XYZ);
    const XyzVertex v[3] = {{-0.5f, 0, -1.0f}, {0.5f, 0, 1.0f}, {0, 0.5f, 1.0f}};  // first vertex behind z = 0
    device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(XyzVertex));
    const auto s = Drawn();
    ASSERT_EQ(s.size(), 6u) << "a clipped triangle becomes a quad: two triangles";
    for (const auto& p : s) {
        EXPECT_GE(p.z, 0.0f);
        EXPECT_LE(p.z, 1.0f);
        EXPECT_GT(p.rhw, 0.0f);
    }
    batches.clear();
    const XyzVertex behind[3] = {{-0.5f, 0, -1.0f}, {0.5f, 0, -1.0f}, {0, 0.5f, -2.0f}};
    device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, behind, sizeof(XyzVertex));
    EXPECT_TRUE(Drawn().empty());
}

TEST(Fog, LinearExpAndADegenerateRange) {
    EXPECT_FLOAT_EQ(ComputeFog(D3DFOG_LINEAR, 25.0f, 0.0f, 100.0f, 1.0f), 0.75f);
    EXPECT_FLOAT_EQ(ComputeFog(D3DFOG_LINEAR, 150.0f, 0.0f, 100.0f, 1.0f), 0.0f);
    EXPECT_FLOAT_EQ(ComputeFog(D3DFOG_LINEAR, -5.0f, 0.0f, 100.0f, 1.0f), 1.0f);
    EXPECT_FLOAT_EQ(ComputeFog(D3DFOG_EXP, 2.0f, 0, 0, 0.5f), std::exp(-1.0f));
    EXPECT_FLOAT_EQ(ComputeFog(D3DFOG_EXP2, 2.0f, 0, 0, 0.5f), std::exp(-1.0f));
    // Start equal to end: a sharp edge, never a division by zero.
    EXPECT_EQ(ComputeFog(D3DFOG_LINEAR, 9.0f, 10.0f, 10.0f, 1.0f), 1.0f);
    EXPECT_EQ(ComputeFog(D3DFOG_LINEAR, 10.0f, 10.0f, 10.0f, 1.0f), 0.0f);
}

TEST_F(PipelineTest, PointLightFallsOffWithDistanceAndRange) {
    device->SetRenderState(D3DRS_LIGHTING, 1);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_AMBIENT, 0xFF202020);
    D3DMATERIAL8 material{};
    material.Diffuse = {1, 1, 1, 0.5f};
    material.Ambient = {1, 1, 1, 1};
    device->SetMaterial(&material);
    D3DLIGHT8 light{};
    light.Type = D3DLIGHT_POINT;
    light.Diffuse = {1, 1, 1, 1};
    light.Position = {0, 0, -2};
    light.Range = 3.0f;
    light.Attenuation1 = 1.0f;  // 1 / distance
    device->SetLight(0, &light);
    device->LightEnable(0, 1);
    device->SetVertexShader(D3DFVF_XYZ | D3DFVF_NORMAL);
    // Facing the light at distance 2 (lit by 1/2), and a vertex out of range.
    const NormalVertex v[3] = {{0, 0, 0, 0, 0, -1}, {2.5f, 0, 0, 0, 0, -1}, {0, 0.1f, 0, 0, 0, -1}};
    device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(NormalVertex));
    const auto s = Drawn();
    ASSERT_EQ(s.size(), 3u);
    const float ambient = 0x20 / 255.0f;
    EXPECT_NEAR(s[0].diffuse[0], ambient + 0.5f, 1e-6f);
    EXPECT_NEAR(s[1].diffuse[0], ambient, 1e-6f) << "beyond the light's range";
    EXPECT_EQ(s[0].diffuse[3], 0.5f) << "alpha is the material's diffuse alpha";
}

TEST_F(PipelineTest, VertexFogFollowsViewDepth) {
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_FOGENABLE, 1);
    device->SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);
    device->SetRenderState(D3DRS_FOGSTART, FloatBits(2.0f));
    device->SetRenderState(D3DRS_FOGEND, FloatBits(6.0f));
    D3DMATRIX view{};
    view.m[0] = view.m[5] = view.m[10] = view.m[15] = 1.0f;
    view.m[14] = 3.0f;  // the camera 3 units back
    device->SetTransform(D3DTS_VIEW, &view);
    D3DMATRIX projection = view;
    projection.m[10] = 0.1f;  // keeps depths 3..4 inside the depth range
    projection.m[14] = 0.0f;
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->SetVertexShader(D3DFVF_XYZ);
    const XyzVertex v[3] = {{0, 0, 0}, {0.1f, 0, 1}, {0, 0.1f, 0}};
    device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(XyzVertex));
    const auto s = Drawn();
    ASSERT_EQ(s.size(), 3u);
    EXPECT_FLOAT_EQ(s[0].fog, 0.75f);  // depth 3
    EXPECT_FLOAT_EQ(s[1].fog, 0.5f);   // depth 4
}

// A stand-in program: oPos = v0, oD0 = v5 (a colour input), oFog = c7.x.
class EchoProgram : public VertexProgram {
public:
    void Run(const float input[16][4], const float constants[][4], VertexProgramOutput* out) const override {
        std::memcpy(out->position, input[0], sizeof out->position);
        std::memcpy(out->diffuse, input[5], sizeof out->diffuse);
        out->fog = constants[7][0];
    }
};
VertexProgram* CompileEcho(const uint32_t* tokens) { return tokens[0] == 0xFFFE0101 ? new EchoProgram : nullptr; }

TEST_F(PipelineTest, VertexShadersRunTheInstalledProgramOverTheirDeclaration) {
    const uint32_t declaration[] = {D3DVSD_STREAM(0), D3DVSD_REG(0, D3DVSDT_FLOAT3), D3DVSD_REG(5, D3DVSDT_D3DCOLOR),
                                    D3DVSD_END()};
    const uint32_t tokens[] = {0xFFFE0101, 0x0000FFFF};
    uint32_t handle = 0;
    SetVertexProgramCompiler(nullptr);
    EXPECT_EQ(device->CreateVertexShader(declaration, tokens, &handle, 0), D3DERR_NOTAVAILABLE);
    SetVertexProgramCompiler(CompileEcho);
    ASSERT_EQ(device->CreateVertexShader(declaration, tokens, &handle, 0), D3D_OK);
    EXPECT_TRUE(IsShaderHandle(handle));
    const uint32_t badTokens[] = {0xFFFE0200};
    uint32_t other = 0;
    EXPECT_EQ(device->CreateVertexShader(declaration, badTokens, &other, 0), D3DERR_INVALIDCALL);

    const float fog[4] = {0.25f, 0, 0, 0};
    device->SetVertexShaderConstant(7, fog, 1);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    ASSERT_EQ(device->SetVertexShader(handle), D3D_OK);
    struct In { float x, y, z; uint32_t colour; };
    const In v[3] = {{0, 0, 0.5f, 0xFF0000FF}, {0.5f, 0, 0.5f, 0xFF0000FF}, {0, 0.5f, 0.5f, 0xFF0000FF}};
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(In)), D3D_OK);
    const auto s = Drawn();
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(s[0].x, 320.0f);
    EXPECT_EQ(s[0].diffuse[2], 1.0f);  // blue, read as r g b a
    EXPECT_EQ(s[0].diffuse[0], 0.0f);
    EXPECT_EQ(s[0].fog, 0.25f);
    EXPECT_EQ(device->DeleteVertexShader(handle), D3D_OK);
    EXPECT_EQ(device->SetVertexShader(handle), D3DERR_INVALIDCALL);
    SetVertexProgramCompiler(nullptr);
}

TEST_F(PipelineTest, IndexedDrawsReadTheStreamThroughTheIndices) {
    VertexBuffer* vb = nullptr;
    IndexBuffer* ib = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(4 * sizeof(XyzVertex), 0, 0, D3DPOOL_SYSTEMMEM, &vb), D3D_OK);
    ASSERT_EQ(device->CreateIndexBuffer(9 * 2, 0, D3DFMT_INDEX16, D3DPOOL_SYSTEMMEM, &ib), D3D_OK);
    uint8_t* data = nullptr;
    vb->Lock(0, 0, &data, 0);
    const XyzVertex quad[4] = {{-1, 1, 0}, {1, 1, 0}, {1, -1, 0}, {-1, -1, 0}};
    std::memcpy(data, quad, sizeof quad);
    ib->Lock(0, 18, &data, 0);
    const uint16_t indices[9] = {0, 1, 2, 0, 2, 3, 3, 2, 1};
    std::memcpy(data, indices, sizeof indices);
    device->SetStreamSource(0, vb, sizeof(XyzVertex));
    device->SetIndices(ib, 0);
    device->SetVertexShader(D3DFVF_XYZ);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    ASSERT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 0, 2), D3D_OK);
    const auto s = Drawn();
    ASSERT_EQ(s.size(), 6u);
    EXPECT_EQ(s[5].x, 0.0f);
    EXPECT_EQ(s[5].y, 480.0f);
    // A triangle that reaches only the last three vertices.
    batches.clear();
    ASSERT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 1, 3, 6, 1), D3D_OK);
    const auto tail = Drawn();
    ASSERT_EQ(tail.size(), 3u);
    EXPECT_EQ(tail[0].x, 0.0f);
    EXPECT_EQ(tail[0].y, 480.0f);
    EXPECT_EQ(tail[2].x, 640.0f);
    EXPECT_EQ(tail[2].y, 0.0f);
    // Reading past the index buffer, or past the vertices, is refused.
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 6, 2), D3DERR_INVALIDCALL);
    device->SetIndices(ib, 2);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 0, 1), D3DERR_INVALIDCALL);
    device->SetIndices(nullptr, 0);
    device->SetStreamSource(0, nullptr, 0);
    vb->Release();
    ib->Release();
}

TEST_F(PipelineTest, CopyRectsRefusesRectanglesOutsideEitherSurface) {
    Surface* a = nullptr;
    Surface* b = nullptr;
    ASSERT_EQ(device->CreateImageSurface(8, 8, D3DFMT_A8R8G8B8, &a), D3D_OK);
    ASSERT_EQ(device->CreateImageSurface(4, 4, D3DFMT_A8R8G8B8, &b), D3D_OK);
    const RECT inside{0, 0, 4, 4}, tooWide{0, 0, 5, 4}, outside{6, 6, 9, 9};
    const POINT origin{0, 0}, shifted{1, 0};
    EXPECT_EQ(device->CopyRects(a, &inside, 1, b, &origin), D3D_OK);
    EXPECT_EQ(device->CopyRects(a, &tooWide, 1, b, &origin), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CopyRects(a, &inside, 1, b, &shifted), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CopyRects(a, &outside, 1, b, &origin), D3DERR_INVALIDCALL);
    a->Release();
    b->Release();
}

}  // namespace
