// Pixel tests of the OpenGL backend: what lands in the back buffer for
// pre-transformed and transformed (lit, fogged, depth-tested) primitives.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "platform/gl/gl_programs.h"
#include "platform/gpu_device.h"
#include "platform/hidden_window.h"

namespace {

using namespace gpu;

struct ScreenVertex2D { float x, y, z, rhw; uint32_t colour; };
struct LitVertex { float x, y, z, nx, ny, nz; };
struct TexturedVertex { float x, y, z, rhw; uint32_t colour; float u, v; };

// Each of red, green and blue within one step of the expected 0xRRGGBB.
void ExpectColourNear(uint32_t got, uint32_t expected) {
    for (int shift : {0, 8, 16}) {
        EXPECT_NEAR(static_cast<int>((got >> shift) & 0xFF), static_cast<int>((expected >> shift) & 0xFF), 1)
            << std::hex << got << " against " << expected;
    }
}


class GLDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        window_ = std::make_unique<platform::HiddenGLWindow>(640, 480);
        d3d_ = CreateDirect3D(window_->handle());
        ASSERT_NE(d3d_, nullptr);
        D3DPRESENT_PARAMETERS pp = WindowedPresentParameters(640, 480, window_->handle());
        ASSERT_EQ(d3d_->CreateDevice(0, D3DDEVTYPE_HAL, window_->handle(), D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp,
                                     &device_),
                  D3D_OK);
        device_->SetRenderState(D3DRS_LIGHTING, 0);
        device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    }
    void TearDown() override {
        if (device_) device_->Release();
        if (d3d_) d3d_->Release();
    }

    // The back buffer as 0xRRGGBB per pixel, top row first.
    std::vector<uint32_t> ReadBackBuffer() {
        Surface* surface = nullptr;
        EXPECT_EQ(device_->GetBackBuffer(0, &surface), D3D_OK);
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(surface->LockRect(&locked, nullptr, 0), D3D_OK);
        std::vector<uint32_t> pixels(640 * 480);
        for (int y = 0; y < 480; ++y) {
            const auto* row = static_cast<const uint8_t*>(locked.pBits) + y * locked.Pitch;
            for (int x = 0; x < 640; ++x) {
                pixels[y * 640 + x] = row[4 * x] | row[4 * x + 1] << 8 | row[4 * x + 2] << 16;
            }
        }
        surface->UnlockRect();
        surface->Release();
        return pixels;
    }

    void DrawScreenRect(float left, float top, float right, float bottom, uint32_t colour) {
        const ScreenVertex2D quad[4] = {{left, top, 0, 1, colour}, {right, top, 0, 1, colour},
                                        {right, bottom, 0, 1, colour}, {left, bottom, 0, 1, colour}};
        device_->SetVertexShader(D3DFVF_XYZRHW | D3DFVF_DIFFUSE);
        ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(ScreenVertex2D)), D3D_OK);
    }

    // A textured rectangle mapping the whole bound texture, white diffuse.
    void DrawTexturedRect(float left, float top, float right, float bottom) {
        const TexturedVertex quad[4] = {{left, top, 0, 1, 0xFFFFFFFF, 0, 0}, {right, top, 0, 1, 0xFFFFFFFF, 1, 0},
                                        {right, bottom, 0, 1, 0xFFFFFFFF, 1, 1}, {left, bottom, 0, 1, 0xFFFFFFFF, 0, 1}};
        device_->SetVertexShader(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
        ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(TexturedVertex)), D3D_OK);
    }

    std::unique_ptr<platform::HiddenGLWindow> window_;
    Direct3D* d3d_ = nullptr;
    Device* device_ = nullptr;
};

TEST_F(GLDeviceTest, ClearFillsTheWholeBackBufferAndSurvivesPresent) {
    device_->Clear(D3DCLEAR_TARGET, 0xFF204060, 0.0f, 0);
    ASSERT_EQ(device_->Present(), D3D_OK);
    const auto pixels = ReadBackBuffer();
    for (size_t i : {size_t{0}, size_t{639}, size_t{640 * 479}, size_t{640 * 480 - 1}, size_t{640 * 240 + 320}}) {
        EXPECT_EQ(pixels[i], 0x204060u) << "pixel " << i;
    }
}

// A rectangle from 9.5 to 19.5 covers exactly the pixel centres 10..19: the
// Direct3D rule that puts pixel centres on integer coordinates.
TEST_F(GLDeviceTest, RectangleEdgesFollowThePixelCentreRule) {
    device_->Clear(D3DCLEAR_TARGET, 0, 0.0f, 0);
    DrawScreenRect(9.5f, 9.5f, 19.5f, 19.5f, 0xFFFFFFFF);
    const auto pixels = ReadBackBuffer();
    for (int y = 8; y <= 21; ++y) {
        for (int x = 8; x <= 21; ++x) {
            const bool inside = x >= 10 && x <= 19 && y >= 10 && y <= 19;
            EXPECT_EQ(pixels[y * 640 + x], inside ? 0xFFFFFFu : 0u) << x << "," << y;
        }
    }
}

TEST_F(GLDeviceTest, RowsAreStoredTopRowFirst) {
    device_->Clear(D3DCLEAR_TARGET, 0, 0.0f, 0);
    DrawScreenRect(-0.5f, -0.5f, 639.5f, 0.5f, 0xFFFF0000);  // the top row only
    const auto pixels = ReadBackBuffer();
    EXPECT_EQ(pixels[5], 0xFF0000u);
    EXPECT_EQ(pixels[640 + 5], 0u);
    EXPECT_EQ(pixels[479 * 640 + 5], 0u);
}

TEST_F(GLDeviceTest, LineStripLightsThePixelsAlongItsSegments) {
    device_->Clear(D3DCLEAR_TARGET, 0, 0.0f, 0);
    // An L: right along row 50 from x 100 to 200, then down column 200 to row 150.
    const ScreenVertex2D strip[3] = {{100, 50, 0, 1, 0xFF00FF00}, {200, 50, 0, 1, 0xFF00FF00},
                                     {200, 150, 0, 1, 0xFF00FF00}};
    device_->SetVertexShader(D3DFVF_XYZRHW | D3DFVF_DIFFUSE);
    ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_LINESTRIP, 2, strip, sizeof(ScreenVertex2D)), D3D_OK);
    const auto pixels = ReadBackBuffer();
    for (int x : {101, 150, 199}) EXPECT_EQ(pixels[50 * 640 + x], 0x00FF00u) << "row 50, x " << x;
    for (int y : {51, 100, 149}) EXPECT_EQ(pixels[y * 640 + 200], 0x00FF00u) << "column 200, y " << y;
    EXPECT_EQ(pixels[49 * 640 + 150], 0u);
    EXPECT_EQ(pixels[51 * 640 + 150], 0u);
    EXPECT_EQ(pixels[100 * 640 + 199], 0u);
    EXPECT_EQ(pixels[100 * 640 + 201], 0u);
}

// A picture read back right after Present is the one just drawn, even while
// the rasteriser is still busy with it: forty frames, each cleared to its own
// red and then given twenty full-screen layers that add one step of blue
// each, go out back to back, far faster than they are rasterised, and every
// tenth is read right after its Present.
TEST_F(GLDeviceTest, ReadingAfterPresentWaitsForTheFramesDrawing) {
    constexpr int kLayers = 20;
    std::vector<ScreenVertex2D> layers;
    for (int i = 0; i < kLayers; ++i) {
        const ScreenVertex2D a{-0.5f, -0.5f, 0, 1, 0xFF000001}, b{639.5f, -0.5f, 0, 1, 0xFF000001},
            c{639.5f, 479.5f, 0, 1, 0xFF000001}, d{-0.5f, 479.5f, 0, 1, 0xFF000001};
        layers.insert(layers.end(), {a, b, c, a, c, d});
    }
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    device_->SetVertexShader(D3DFVF_XYZRHW | D3DFVF_DIFFUSE);
    for (uint32_t frame = 1; frame <= 40; ++frame) {
        const uint32_t red = frame * 5;
        device_->Clear(D3DCLEAR_TARGET, 0xFF000000 | red << 16, 0.0f, 0);
        ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2 * kLayers, layers.data(), sizeof(ScreenVertex2D)),
                  D3D_OK);
        ASSERT_EQ(device_->Present(), D3D_OK);
        if (frame % 10 != 0) continue;
        const auto pixels = ReadBackBuffer();
        for (size_t i : {size_t{0}, size_t{640 * 240 + 320}, size_t{640 * 480 - 1}}) {
            EXPECT_EQ(pixels[i], red << 16 | kLayers) << "frame " << frame << ", pixel " << i;
        }
    }
}

// A texture released while a draw that samples it is still held back for
// batching: that draw keeps the released texture's picture, even when a new
// texture takes the released one's place and is drawn with the same states.
TEST_F(GLDeviceTest, DrawKeepsTheTextureReleasedBeforeItWentOut) {
    auto makeTexture = [&](uint32_t texel) {
        Texture* texture = nullptr;
        EXPECT_EQ(device_->CreateTexture(1, 1, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &texture), D3D_OK);
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        std::memcpy(locked.pBits, &texel, 4);
        texture->UnlockRect(0);
        return texture;
    };
    device_->Clear(D3DCLEAR_TARGET, 0, 0.0f, 0);
    Texture* red = makeTexture(0xFFFF0000);
    device_->SetTexture(0, red);
    DrawTexturedRect(-0.5f, -0.5f, 9.5f, 9.5f);
    device_->SetTexture(0, nullptr);
    red->Release();
    Texture* green = makeTexture(0xFF00FF00);
    device_->SetTexture(0, green);
    DrawTexturedRect(19.5f, -0.5f, 29.5f, 9.5f);
    const auto pixels = ReadBackBuffer();
    EXPECT_EQ(pixels[5 * 640 + 5], 0xFF0000u);
    EXPECT_EQ(pixels[5 * 640 + 25], 0x00FF00u);
    device_->SetTexture(0, nullptr);
    green->Release();
}

// Transformed triangles through the CPU pipeline: a directional light, linear
// vertex fog and a depth buffer, checked against hand-computed colours.
TEST_F(GLDeviceTest, LitFoggedTrianglesAreDepthTested) {
    Surface* depth = nullptr;
    ASSERT_EQ(device_->CreateDepthStencilSurface(640, 480, D3DFMT_D16, 0, &depth), D3D_OK);
    ASSERT_EQ(device_->SetRenderTarget(nullptr, depth), D3D_OK);
    device_->Clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    device_->SetRenderState(D3DRS_ZENABLE, 1);
    device_->SetRenderState(D3DRS_LIGHTING, 1);
    D3DLIGHT8 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1, 0, 0, 1};
    light.Direction = {0, 0, 1};  // into the screen, so a face looking at the viewer is fully lit
    device_->SetLight(0, &light);
    device_->LightEnable(0, 1);
    D3DMATERIAL8 material{};
    material.Diffuse = {1, 1, 1, 1};
    device_->SetMaterial(&material);
    device_->SetRenderState(D3DRS_FOGENABLE, 1);
    device_->SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);
    device_->SetRenderState(D3DRS_FOGSTART, FloatBits(0.0f));
    device_->SetRenderState(D3DRS_FOGEND, FloatBits(1.0f));
    device_->SetRenderState(D3DRS_FOGCOLOR, 0x000000FF);
    device_->SetVertexShader(D3DFVF_XYZ | D3DFVF_NORMAL);

    // Identity world, view and projection: clip space is the vertex itself,
    // so z is both the depth and the fog distance.
    auto triangle = [&](float z) {
        const LitVertex v[3] = {{-0.5f, -0.5f, z, 0, 0, -1}, {0.0f, 0.5f, z, 0, 0, -1}, {0.5f, -0.5f, z, 0, 0, -1}};
        ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(LitVertex)), D3D_OK);
    };
    triangle(0.5f);
    const auto lit = ReadBackBuffer();
    // Half fog: red light 1.0 mixed half and half with the blue fog.
    const uint32_t centre = lit[240 * 640 + 320];
    EXPECT_NEAR(static_cast<int>(centre >> 16), 128, 1);
    EXPECT_EQ((centre >> 8) & 0xFF, 0u);
    EXPECT_NEAR(static_cast<int>(centre & 0xFF), 128, 1);
    EXPECT_EQ(lit[10 * 640 + 10], 0u);

    light.Diffuse = {0, 1, 0, 1};
    device_->SetLight(0, &light);
    device_->SetRenderState(D3DRS_FOGENABLE, 0);
    triangle(0.8f);  // behind: hidden
    EXPECT_EQ(ReadBackBuffer()[240 * 640 + 320], centre);
    triangle(0.2f);  // in front: drawn
    EXPECT_EQ(ReadBackBuffer()[240 * 640 + 320], 0x00FF00u);
    device_->SetRenderTarget(nullptr, nullptr);
    depth->Release();
}

TEST_F(GLDeviceTest, TexturedQuadSamplesTexelCentres) {
    // A 2x2 texture: red, green / blue, white.
    Texture* texture = nullptr;
    ASSERT_EQ(device_->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &texture), D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    const uint32_t texels[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
    for (int y = 0; y < 2; ++y) std::memcpy(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch, texels + 2 * y, 8);
    texture->UnlockRect(0);
    device_->SetTexture(0, texture);
    device_->Clear(D3DCLEAR_TARGET, 0, 0.0f, 0);
    DrawTexturedRect(-0.5f, -0.5f, 19.5f, 19.5f);  // each texel covers 10x10 pixels
    const auto pixels = ReadBackBuffer();
    EXPECT_EQ(pixels[0], 0xFF0000u);
    EXPECT_EQ(pixels[9], 0xFF0000u);
    EXPECT_EQ(pixels[10], 0x00FF00u);
    EXPECT_EQ(pixels[10 * 640], 0x0000FFu);
    EXPECT_EQ(pixels[19 * 640 + 19], 0xFFFFFFu);
    device_->SetTexture(0, nullptr);
    texture->Release();
}

// The battle's way of reusing the picture: copy part of the back buffer into
// a render-target texture, then draw that texture elsewhere; and a picture
// copied from a system-memory surface into the back buffer.
TEST_F(GLDeviceTest, CopiesBetweenTheBackBufferTexturesAndImageSurfaces) {
    device_->Clear(D3DCLEAR_TARGET, 0, 0.0f, 0);
    DrawScreenRect(-0.5f, -0.5f, 7.5f, 7.5f, 0xFF00FF00);  // green 8x8 at the top left
    Texture* target = nullptr;
    ASSERT_EQ(device_->CreateTexture(16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &target),
              D3D_OK);
    Surface* back = nullptr;
    Surface* level = nullptr;
    ASSERT_EQ(device_->GetBackBuffer(0, &back), D3D_OK);
    ASSERT_EQ(target->GetSurfaceLevel(0, &level), D3D_OK);
    const RECT topLeft{0, 0, 16, 16};
    const POINT origin{0, 0};
    ASSERT_EQ(device_->CopyRects(back, &topLeft, 1, level, &origin), D3D_OK);

    Surface* image = nullptr;
    ASSERT_EQ(device_->CreateImageSurface(2, 2, D3DFMT_X8R8G8B8, &image), D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(image->LockRect(&locked, nullptr, 0), D3D_OK);
    for (int y = 0; y < 2; ++y) {
        const uint32_t red[2] = {0xFFFF0000, 0xFFFF0000};
        std::memcpy(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch, red, 8);
    }
    image->UnlockRect();
    const RECT all{0, 0, 2, 2};
    const POINT at{600, 400};
    ASSERT_EQ(device_->CopyRects(image, &all, 1, back, &at), D3D_OK);

    // The copied texture drawn 1:1 at (100, 100).
    device_->SetTexture(0, target);
    DrawTexturedRect(99.5f, 99.5f, 115.5f, 115.5f);
    const auto pixels = ReadBackBuffer();
    EXPECT_EQ(pixels[100 * 640 + 100], 0x00FF00u);
    EXPECT_EQ(pixels[107 * 640 + 107], 0x00FF00u);
    EXPECT_EQ(pixels[108 * 640 + 108], 0u);
    EXPECT_EQ(pixels[400 * 640 + 600], 0xFF0000u);
    EXPECT_EQ(pixels[401 * 640 + 601], 0xFF0000u);
    EXPECT_EQ(pixels[402 * 640 + 602], 0u);
    EXPECT_EQ(pixels[0], 0x00FF00u) << "the CPU copy kept what was drawn before it";

    // Both sides now live on the GPU: the next copy is a GPU blit.
    device_->SetTexture(0, nullptr);
    DrawScreenRect(-0.5f, -0.5f, 3.5f, 3.5f, 0xFF0000FF);
    ASSERT_EQ(device_->CopyRects(back, &topLeft, 1, level, &origin), D3D_OK);
    device_->SetTexture(0, target);
    DrawTexturedRect(199.5f, 99.5f, 215.5f, 115.5f);
    const auto again = ReadBackBuffer();
    EXPECT_EQ(again[100 * 640 + 200], 0x0000FFu);
    EXPECT_EQ(again[105 * 640 + 205], 0x00FF00u);
    device_->SetTexture(0, nullptr);
    image->Release();
    level->Release();
    back->Release();
    target->Release();
}

// Texture-stage combiners and the alpha test, on untextured pixels: the
// diffuse colour is 0x80404040 and the texture factor 0x40201000 (alpha,
// red, green, blue).
struct CombinerCase {
    const char* name;
    uint32_t colourOp, arg1, arg2;
    uint32_t expected;  // 0xRRGGBB, or ~0u for "left as the clear colour"
    uint32_t alphaFunc = D3DCMP_ALWAYS;
};
void PrintTo(const CombinerCase& c, std::ostream* os) { *os << c.name; }

class Combiners : public GLDeviceTest, public ::testing::WithParamInterface<CombinerCase> {};

TEST_P(Combiners, ComputeDirect3DsFormulas) {
    const CombinerCase& c = GetParam();
    device_->Clear(D3DCLEAR_TARGET, 0xFF0000FF, 0.0f, 0);
    device_->SetRenderState(D3DRS_TEXTUREFACTOR, 0x40201000);
    device_->SetTextureStageState(0, D3DTSS_COLOROP, c.colourOp);
    device_->SetTextureStageState(0, D3DTSS_COLORARG1, c.arg1);
    device_->SetTextureStageState(0, D3DTSS_COLORARG2, c.arg2);
    device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device_->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    device_->SetRenderState(D3DRS_ALPHATESTENABLE, c.alphaFunc != D3DCMP_ALWAYS);
    device_->SetRenderState(D3DRS_ALPHAFUNC, c.alphaFunc);
    device_->SetRenderState(D3DRS_ALPHAREF, 0x80);
    DrawScreenRect(-0.5f, -0.5f, 9.5f, 9.5f, 0x80404040);
    ExpectColourNear(ReadBackBuffer()[5 * 640 + 5], c.expected == ~0u ? 0x0000FFu : c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Ops, Combiners,
    ::testing::Values(
        CombinerCase{"Add", D3DTOP_ADD, D3DTA_DIFFUSE, D3DTA_TFACTOR, 0x605040},
        CombinerCase{"Subtract", D3DTOP_SUBTRACT, D3DTA_DIFFUSE, D3DTA_TFACTOR, 0x203040},
        CombinerCase{"Modulate2x", D3DTOP_MODULATE2X, D3DTA_DIFFUSE, D3DTA_TFACTOR, 0x100800},
        CombinerCase{"ComplementedArgument", D3DTOP_SELECTARG2, D3DTA_DIFFUSE, D3DTA_TFACTOR | D3DTA_COMPLEMENT, 0xDFEFFF},
        CombinerCase{"AlphaReplicate", D3DTOP_SELECTARG1, D3DTA_TFACTOR | D3DTA_ALPHAREPLICATE, D3DTA_DIFFUSE, 0x404040},
        CombinerCase{"BlendDiffuseAlpha", D3DTOP_BLENDDIFFUSEALPHA, D3DTA_TFACTOR, D3DTA_DIFFUSE, 0x302820},
        CombinerCase{"AlphaTestPasses", D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT, 0x404040, D3DCMP_GREATEREQUAL},
        CombinerCase{"AlphaTestDiscards", D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT, ~0u, D3DCMP_GREATER}),
    [](const auto& info) { return info.param.name; });

// Every combiner operation, as colour and as alpha operation, with every
// argument kind and modifier, over several stages, makes a program that
// compiles and links.
TEST_F(GLDeviceTest, EveryCombinerCompiles) {
    ProgramCache cache;
    const uint32_t args[] = {D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTA_TEXTURE | D3DTA_COMPLEMENT,
                             D3DTA_TFACTOR | D3DTA_ALPHAREPLICATE, D3DTA_SPECULAR, D3DTA_TEMP};
    for (uint32_t op = D3DTOP_SELECTARG1; op <= D3DTOP_LERP; ++op) {
        ProgramKey key;
        for (int stage = 0; stage < 2; ++stage) {
            ProgramKey::Stage& st = key.stages[stage];
            st.colourOp = st.alphaOp = op;
            st.colourArg[0] = st.alphaArg[1] = args[(op + stage) % 6];
            st.colourArg[1] = st.alphaArg[2] = args[(op + stage + 1) % 6];
            st.colourArg[2] = st.alphaArg[0] = args[(op + stage + 2) % 6];
            st.resultArg = stage == 0 ? D3DTA_TEMP : D3DTA_CURRENT;
            st.textured = stage == 0;
        }
        key.alphaFunc = D3DCMP_LESS + op % 7;
        key.fog = key.specular = key.flat = op % 2;
        EXPECT_NE(cache.Get(key).id, 0u) << "operation " << op << "\n" << FragmentSource(key);
    }
}

// Each texture format's texel bytes as Direct3D lays them out, drawn with
// alpha blending over black (so the colour shows multiplied by its alpha).
struct FormatTexel {
    const char* name;
    D3DFORMAT format;
    uint32_t texel;     // the 16- or 32-bit value (8-bit formats use the low byte)
    uint32_t expected;  // 0xRRGGBB on screen
};
void PrintTo(const FormatTexel& c, std::ostream* os) { *os << c.name; }

class TextureFormats : public GLDeviceTest, public ::testing::WithParamInterface<FormatTexel> {};

TEST_P(TextureFormats, SampleAsDirect3DStoresThem) {
    const FormatTexel& c = GetParam();
    Texture* texture = nullptr;
    ASSERT_EQ(device_->CreateTexture(1, 1, 1, 0, c.format, D3DPOOL_DEFAULT, &texture), D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    const int bytes = c.format == D3DFMT_A8R8G8B8 || c.format == D3DFMT_X8R8G8B8 ? 4 : c.format == D3DFMT_L8 ? 1 : 2;
    std::memcpy(locked.pBits, &c.texel, bytes);
    texture->UnlockRect(0);
    device_->SetTexture(0, texture);
    device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device_->Clear(D3DCLEAR_TARGET, 0, 0.0f, 0);
    DrawTexturedRect(-0.5f, -0.5f, 3.5f, 3.5f);
    ExpectColourNear(ReadBackBuffer()[1 * 640 + 1], c.expected);
    device_->SetTexture(0, nullptr);
    texture->Release();
}

INSTANTIATE_TEST_SUITE_P(
    Texels, TextureFormats,
    ::testing::Values(FormatTexel{"A8R8G8B8", D3DFMT_A8R8G8B8, 0x80FF8040, 0x804020},
                      FormatTexel{"X8R8G8B8", D3DFMT_X8R8G8B8, 0x00FF8040, 0xFF8040},
                      FormatTexel{"R5G6B5Red", D3DFMT_R5G6B5, 0xF800, 0xFF0000},
                      FormatTexel{"R5G6B5Green", D3DFMT_R5G6B5, 0x07E0, 0x00FF00},
                      FormatTexel{"R5G6B5Blue", D3DFMT_R5G6B5, 0x001F, 0x0000FF},
                      FormatTexel{"A1R5G5B5Opaque", D3DFMT_A1R5G5B5, 0xFC00, 0xFF0000},
                      FormatTexel{"A1R5G5B5Clear", D3DFMT_A1R5G5B5, 0x7C00, 0x000000},
                      FormatTexel{"X1R5G5B5", D3DFMT_X1R5G5B5, 0x03E0, 0x00FF00},
                      FormatTexel{"A4R4G4B4", D3DFMT_A4R4G4B4, 0x8F0F, 0x880088},
                      FormatTexel{"X4R4G4B4", D3DFMT_X4R4G4B4, 0x00F0, 0x00FF00},
                      FormatTexel{"L8", D3DFMT_L8, 0x80, 0x808080}),
    [](const auto& info) { return info.param.name; });

TEST_F(GLDeviceTest, ResetNeedsEveryDefaultPoolObjectReleased) {
    Texture* texture = nullptr;
    ASSERT_EQ(device_->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &texture), D3D_OK);
    device_->LoseDevice();
    EXPECT_EQ(device_->Present(), D3DERR_DEVICELOST);
    EXPECT_EQ(device_->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    D3DPRESENT_PARAMETERS pp = WindowedPresentParameters(640, 480, window_->handle());
    EXPECT_EQ(device_->Reset(&pp), D3DERR_INVALIDCALL);
    texture->Release();
    EXPECT_EQ(device_->Reset(&pp), D3D_OK);
    EXPECT_EQ(device_->TestCooperativeLevel(), D3D_OK);
    uint32_t cull = 0;
    device_->GetRenderState(D3DRS_CULLMODE, &cull);
    EXPECT_EQ(cull, static_cast<uint32_t>(D3DCULL_CCW)) << "Reset returns every state to its default";
}

}  // namespace
