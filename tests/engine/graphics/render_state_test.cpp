// The state caches, the blend and fill presets, 2D drawing, on the recording device.
#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "engine/core/math.h"
#include "engine/graphics/device.h"
#include "engine/graphics/primitives2d.h"
#include "engine/graphics/render_state.h"
#include "tests/support/recording_device.h"

namespace {

using namespace gpu;

class RenderStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitializeMathTables();
        ASSERT_EQ(InitializeDirectXGraphics(), 1);
        device().ClearCalls();
    }
    test::RecordingDevice& device() { return *graphics.device(); }
    std::vector<std::vector<uint32_t>> StateCalls() {
        std::vector<std::vector<uint32_t>> out;
        for (const auto& call : device().CallsNamed("SetRenderState")) out.push_back(call.args);
        return out;
    }
    test::RecordingGraphics graphics;
};

TEST_F(RenderStateTest, AValueEqualToTheCachedOneIsNotSent) {
    SetRenderState(D3DRS_ZENABLE, 1);
    SetRenderState(D3DRS_ZENABLE, 1);
    SetRenderState(D3DRS_ZENABLE, 0);
    SetTextureStageState(2, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
    SetTextureStageState(2, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
    EXPECT_EQ(StateCalls(), (std::vector<std::vector<uint32_t>>{{D3DRS_ZENABLE, 1}, {D3DRS_ZENABLE, 0}}));
    EXPECT_EQ(device().CallsNamed("SetTextureStageState").size(), 1u);
}

TEST_F(RenderStateTest, AfterTheDefaultsEveryFirstSettingIsSentExceptTheSentinelValue) {
    SetDefaultRenderStates();
    device().ClearCalls();
    SetRenderState(D3DRS_ALPHATESTENABLE, 0);   // never set by the defaults
    SetRenderState(D3DRS_FOGCOLOR, 0xFFFFFFFF);  // equals "not sent": the cache skips it
    EXPECT_EQ(StateCalls(), (std::vector<std::vector<uint32_t>>{{D3DRS_ALPHATESTENABLE, 0}}));
}

TEST_F(RenderStateTest, OutOfRangeStatesAndStagesAreIgnored) {
    SetRenderState(static_cast<D3DRENDERSTATETYPE>(256), 1);
    SetTextureStageState(4, D3DTSS_COLOROP, D3DTOP_ADD);
    SetTextureStageState(-1, D3DTSS_COLOROP, D3DTOP_ADD);
    SetTexture(nullptr, 4);
    EXPECT_TRUE(device().calls.empty());
}

TEST_F(RenderStateTest, DefaultsSetTheViewportStatesAndFiltersInOrder) {
    SetDefaultRenderStates();
    const auto viewport = device().CallsNamed("SetViewport");
    ASSERT_EQ(viewport.size(), 1u);
    EXPECT_EQ(viewport[0].args, (std::vector<uint32_t>{0, 0, 640, 480}));
    // TEXTUREFACTOR 0xFFFFFFFF equals the "not sent" mark and is left to the
    // device's own default (white).
    const std::vector<std::vector<uint32_t>> expected = {
        {D3DRS_CULLMODE, D3DCULL_NONE}, {D3DRS_ZENABLE, 0},          {D3DRS_ZWRITEENABLE, 0},
        {D3DRS_DITHERENABLE, 0},        {D3DRS_LIGHTING, 0},         {D3DRS_FOGENABLE, 0},
        {D3DRS_SPECULARENABLE, 0},      {D3DRS_COLORVERTEX, 0},      {D3DRS_ALPHABLENDENABLE, 1},
        {D3DRS_FILLMODE, D3DFILL_SOLID}, {D3DRS_SHADEMODE, D3DSHADE_GOURAUD},
        {D3DRS_SRCBLEND, D3DBLEND_ONE}, {D3DRS_DESTBLEND, D3DBLEND_ZERO}};
    EXPECT_EQ(StateCalls(), expected);
    std::vector<uint32_t> stage0Filters;
    for (const auto& call : device().CallsNamed("SetTextureStageState")) {
        if (call.args[0] == 0 && call.args[1] == D3DTSS_MAGFILTER) stage0Filters.push_back(call.args[2]);
    }
    EXPECT_EQ(stage0Filters, (std::vector<uint32_t>{D3DTEXF_NONE, D3DTEXF_LINEAR}));
    uint32_t colourOp = 0;
    device().GetTextureStageState(1, D3DTSS_COLOROP, &colourOp);
    EXPECT_EQ(colourOp, static_cast<uint32_t>(D3DTOP_DISABLE));
}

TEST_F(RenderStateTest, BlendPresetsSendTheirFactors) {
    const std::map<int, std::pair<uint32_t, uint32_t>> presets = {
        {BLEND_OPAQUE, {D3DBLEND_ONE, D3DBLEND_ZERO}},       {BLEND_ALPHA, {D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA}},
        {BLEND_ALPHA_ADD, {D3DBLEND_SRCALPHA, D3DBLEND_ONE}}, {BLEND_MULTIPLY, {D3DBLEND_ZERO, D3DBLEND_SRCCOLOR}},
        {BLEND_ADD, {D3DBLEND_ONE, D3DBLEND_ONE}},           {BLEND_DEST_ADD, {D3DBLEND_DESTCOLOR, D3DBLEND_ONE}},
        {BLEND_INVERT, {D3DBLEND_INVDESTCOLOR, D3DBLEND_ZERO}}};
    for (const auto& [mode, factors] : presets) {
        SetBlendMode(BLEND_MULTIPLY == mode ? BLEND_ADD : BLEND_MULTIPLY);  // make both factors differ first
        SetBlendMode(mode);
        uint32_t source = 0, destination = 0;
        device().GetRenderState(D3DRS_SRCBLEND, &source);
        device().GetRenderState(D3DRS_DESTBLEND, &destination);
        EXPECT_EQ(source, factors.first) << "mode " << mode;
        EXPECT_EQ(destination, factors.second) << "mode " << mode;
    }
    device().ClearCalls();
    SetBlendMode(BLEND_INVERTED_ADD);
    SetBlendMode(8);
    SetBlendMode(-1);
    SetFillMode(4);
    EXPECT_TRUE(device().calls.empty());
}

TEST_F(RenderStateTest, FillPresetsSetFillAndShadeModes) {
    SetFillMode(FILL_SOLID_FLAT);
    SetFillMode(FILL_WIREFRAME);
    EXPECT_EQ(StateCalls(), (std::vector<std::vector<uint32_t>>{{D3DRS_SHADEMODE, D3DSHADE_FLAT},
                                                                  {D3DRS_FILLMODE, D3DFILL_WIREFRAME},
                                                                  {D3DRS_SHADEMODE, D3DSHADE_GOURAUD}}));
}

TEST_F(RenderStateTest, FogKeepsItsRangeAndSendsOnlyTheColourThroughTheCache) {
    SetFog(10.0f, 50.0f, 0xFF123456);
    EXPECT_FLOAT_EQ(GetFogStart(), 10.0f);
    EXPECT_FLOAT_EQ(GetFogEnd(), 50.0f);
    EXPECT_EQ(renderStateCache[D3DRS_FOGCOLOR], 0x123456u);
    EXPECT_EQ(renderStateCache[D3DRS_FOGSTART], kStateNotSent);
    uint32_t end = 0;
    device().GetRenderState(D3DRS_FOGEND, &end);
    EXPECT_EQ(BitsToFloat(end), 1.0f);
}

// Engine textures are opaque to this layer: stand-ins at fixed addresses,
// each mapped to a device texture by the accessor.
std::map<::Texture*, gpu::Texture*> deviceTextures;
gpu::Texture* DeviceTextureOf(::Texture* texture) { return deviceTextures[texture]; }

TEST_F(RenderStateTest, BoundTextureCacheForgetsAReleasedTexture) {
    gpu::Texture* first = nullptr;
    gpu::Texture* second = nullptr;
    ASSERT_EQ(device().CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &first), D3D_OK);
    ASSERT_EQ(device().CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &second), D3D_OK);
    alignas(8) static char storage[8];
    ::Texture* engineTexture = reinterpret_cast<::Texture*>(storage);
    SetDeviceTextureAccessor(DeviceTextureOf);
    deviceTextures[engineTexture] = first;
    SetTexture(engineTexture, 0);
    SetTexture(engineTexture, 0);
    EXPECT_EQ(device().CallsNamed("SetTexture").size(), 1u);
    // Released, and a new texture lands at the same address.
    ForgetBoundTexture(engineTexture);
    deviceTextures[engineTexture] = second;
    SetTexture(engineTexture, 0);
    const auto binds = device().CallsNamed("SetTexture");
    ASSERT_EQ(binds.size(), 2u);
    EXPECT_EQ(binds[1].args[1], static_cast<uint32_t>(reinterpret_cast<uintptr_t>(second)));
    SetTexture(nullptr, 0);
    SetDeviceTextureAccessor(nullptr);
    first->Release();
    second->Release();
}

struct Vertex {
    float x, y, z, rhw;
    uint32_t colour;
};

std::vector<Vertex> VerticesOf(const test::DeviceCall& call) {
    std::vector<Vertex> v(call.vertices.size() / sizeof(Vertex));
    std::memcpy(v.data(), call.vertices.data(), v.size() * sizeof(Vertex));
    return v;
}

TEST_F(RenderStateTest, Begin2DPreparesPreTransformedDrawingAndForgetsTheShaderKey) {
    ASSERT_EQ(BeginScene(), 1);
    CheckAndSetShaderKey(0x10010801);
    SetRenderState(D3DRS_ZENABLE, 1);
    Begin2D(BLEND_ALPHA);
    EXPECT_EQ(CheckAndSetShaderKey(0x10010801), 0) << "the 2D format replaced the mesh shader";
    EXPECT_EQ(renderStateCache[D3DRS_ZENABLE], 0u);
    EXPECT_EQ(renderStateCache[D3DRS_CULLMODE], static_cast<uint32_t>(D3DCULL_NONE));
    EXPECT_EQ(renderStateCache[D3DRS_SRCBLEND], static_cast<uint32_t>(D3DBLEND_SRCALPHA));
    const auto shaders = device().CallsNamed("SetVertexShader");
    ASSERT_EQ(shaders.size(), 1u);
    EXPECT_EQ(shaders[0].args[0], 68u);
    EndScene();
}

TEST_F(RenderStateTest, InvertedAddDrawsTheInvertQuadAroundAnAdditiveDraw) {
    Begin2D(BLEND_INVERTED_ADD);
    EXPECT_EQ(renderStateCache[D3DRS_SRCBLEND], static_cast<uint32_t>(D3DBLEND_SRCALPHA));
    EXPECT_EQ(renderStateCache[D3DRS_DESTBLEND], static_cast<uint32_t>(D3DBLEND_ONE));
    End2D();
    EXPECT_EQ(renderStateCache[D3DRS_SRCBLEND], static_cast<uint32_t>(D3DBLEND_INVDESTCOLOR));
    const auto draws = device().CallsNamed("DrawPrimitiveUP");
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].args, (std::vector<uint32_t>{D3DPT_TRIANGLEFAN, 2, 20}));
    EXPECT_EQ(graphics.host.primitives, 4);
}

TEST_F(RenderStateTest, FillRectCornersSitHalfAPixelUpAndLeft) {
    const RECT r{10, 10, 20, 20};
    FillRect(&r, 0xFF00FF00);
    const auto draws = device().CallsNamed("DrawPrimitiveUP");
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].args, (std::vector<uint32_t>{D3DPT_TRIANGLEFAN, 2, 20}));
    const auto v = VerticesOf(draws[0]);
    ASSERT_EQ(v.size(), 4u);
    const float expected[4][2] = {{9.5f, 9.5f}, {19.5f, 9.5f}, {19.5f, 19.5f}, {9.5f, 19.5f}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(v[i].x, expected[i][0]);
        EXPECT_EQ(v[i].y, expected[i][1]);
        EXPECT_EQ(v[i].z, 0.0f);
        EXPECT_EQ(v[i].rhw, 1.0f);
        EXPECT_EQ(v[i].colour, 0xFF00FF00u);
    }
    EXPECT_EQ(graphics.host.primitives, 2);
}

TEST_F(RenderStateTest, DrawCircleClampsItsSegmentsAndClosesTheLoop) {
    for (auto [asked, drawn] : {std::pair{100, 64}, {0, 1}, {-5, 1}, {12, 12}}) {
        device().ClearCalls();
        graphics.host.primitives = 0;
        DrawCircle(100.0f, 50.0f, 10.0f, 0.0f, asked, 0xFFFFFFFF);
        const auto draws = device().CallsNamed("DrawPrimitiveUP");
        ASSERT_EQ(draws.size(), 1u);
        EXPECT_EQ(draws[0].args[0], static_cast<uint32_t>(D3DPT_LINESTRIP));
        EXPECT_EQ(draws[0].args[1], static_cast<uint32_t>(drawn)) << asked << " segments asked";
        const auto v = VerticesOf(draws[0]);
        ASSERT_EQ(v.size(), static_cast<size_t>(drawn + 1));
        EXPECT_EQ(v.front().x, 110.0f);
        EXPECT_EQ(v.front().y, 50.0f);
        EXPECT_EQ(v.back().x, v.front().x);
        EXPECT_EQ(v.back().y, v.front().y);
        EXPECT_EQ(graphics.host.primitives, drawn);
    }
    // A quarter of a 64-segment circle lies straight below the centre (y down).
    device().ClearCalls();
    DrawCircle(0.0f, 0.0f, 10.0f, 0.0f, 64, 0xFFFFFFFF);
    const auto v = VerticesOf(device().CallsNamed("DrawPrimitiveUP")[0]);
    EXPECT_NEAR(v[16].x, 0.0f, 1e-5f);
    EXPECT_FLOAT_EQ(v[16].y, 10.0f);
}

}  // namespace
