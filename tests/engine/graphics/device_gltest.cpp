// The engine's device on OpenGL: a drawn frame saved as a screenshot, and a
// lost device that comes back drawing the same picture.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

#include "engine/core/math.h"
#include "engine/graphics/device.h"
#include "engine/graphics/primitives2d.h"
#include "engine/graphics/render_state.h"
#include "platform/hidden_window.h"
#include "tests/support/recording_device.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace gpu;

// One texture the way the engine keeps them: a device texture that a lost
// device takes away, and a system-memory backup it is rebuilt from.
struct PictureTexture {
    gpu::Texture* device = nullptr;
    gpu::Texture* backup = nullptr;
};
PictureTexture picture;
alignas(8) char engineTextureStorage[8];
::Texture* const engineTexture = reinterpret_cast<::Texture*>(engineTextureStorage);
int releases = 0, restores = 0;

gpu::Texture* DeviceTextureOf(::Texture*) { return picture.device; }

void CreatePictureDeviceTexture() {
    GetDevice()->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &picture.device);
    GetDevice()->UpdateTexture(picture.backup, picture.device);
}
void ReleasePictures() {
    ++releases;
    ForgetBoundTexture(engineTexture);
    picture.device->Release();
    picture.device = nullptr;
}
void RestorePictures() {
    ++restores;
    CreatePictureDeviceTexture();
}

class EngineGLTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitializeMathTables();
        window_ = std::make_unique<platform::HiddenGLWindow>(640, 480);
        host_.window = window_->handle();
        SetGraphicsHost(&host_);
        ASSERT_EQ(InitializeDirectXGraphics(), 1);
        // A 2x2 picture: red, green / blue, white.
        ASSERT_EQ(GetDevice()->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &picture.backup), D3D_OK);
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(picture.backup->LockRect(0, &locked, nullptr, 0), D3D_OK);
        const uint32_t texels[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
        for (int y = 0; y < 2; ++y) std::memcpy(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch, texels + 2 * y, 8);
        picture.backup->UnlockRect(0);
        CreatePictureDeviceTexture();
        SetDeviceTextureAccessor(DeviceTextureOf);
        SetDeviceObjectWalks(DEVICE_OBJECTS_TEXTURES, ReleasePictures, RestorePictures);
    }
    void TearDown() override {
        SetTexture(nullptr, 0);
        SetDeviceObjectWalks(DEVICE_OBJECTS_TEXTURES, nullptr, nullptr);
        SetDeviceTextureAccessor(nullptr);
        if (picture.device) picture.device->Release();
        picture.backup->Release();
        picture = {};
        DestroyDirectXGraphics();
        SetGraphicsHost(nullptr);
    }

    // Draws through the engine's caches only: 2D fills and a textured quad
    // stretched with the engine's linear filtering.
    void DrawPicture() {
        ClearTarget(0xFF000080);
        ASSERT_EQ(BeginScene(), 1);
        Begin2D(BLEND_ALPHA);
        const RECT opaque{10, 10, 20, 20}, half{100, 100, 140, 120};
        FillRect(&opaque, 0xFFFF0000);
        FillRect(&half, 0x80FFFFFF);
        DrawCircle(300.0f, 200.0f, 50.0f, 0.0f, 32, 0xFF00FF00);
        SetTexture(engineTexture, 0);
        GetDevice()->SetVertexShader(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
        struct TexturedVertex { float x, y, z, rhw; uint32_t colour; float u, v; };
        // 66 pixels for 2 texels: pixel centres 216 and 249 sit on texel centres.
        const TexturedVertex quad[4] = {{199.5f, 299.5f, 0, 1, 0xFFFFFFFF, 0, 0}, {265.5f, 299.5f, 0, 1, 0xFFFFFFFF, 1, 0},
                                        {265.5f, 365.5f, 0, 1, 0xFFFFFFFF, 1, 1}, {199.5f, 365.5f, 0, 1, 0xFFFFFFFF, 0, 1}};
        ASSERT_EQ(GetDevice()->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(TexturedVertex)), D3D_OK);
        End2D();
        EndScene();
    }

    // The back buffer as 0xRRGGBB, top row first.
    std::vector<uint32_t> ReadBackBuffer() {
        void* bits = nullptr;
        int pitch = 0;
        EXPECT_EQ(LockBackBuffer(&bits, &pitch), 1);
        std::vector<uint32_t> pixels(640 * 480);
        for (int y = 0; y < 480; ++y) {
            for (int x = 0; x < 640; ++x) {
                uint32_t p;
                std::memcpy(&p, static_cast<uint8_t*>(bits) + y * pitch + 4 * x, 4);
                pixels[y * 640 + x] = p & 0xFFFFFF;
            }
        }
        UnlockBackBuffer();
        return pixels;
    }

    test::FakeGraphicsHost host_;
    std::unique_ptr<platform::HiddenGLWindow> window_;
};

TEST_F(EngineGLTest, ScreenshotOfADrawnFrameHasTheExpectedBytes) {
    DrawPicture();
    PresentFrame();
    test::TempDir dir;
    const std::string path = dir.file("screen00.bmp");
    SaveScreenshot(path.c_str());
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bmp{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_EQ(bmp.size(), 921654u);
    // Blue, green, red of screen pixel (x, y): rows are stored bottom up.
    auto at = [&](int x, int y) {
        const size_t i = 54 + static_cast<size_t>(479 - y) * 640 * 3 + 3 * x;
        return std::vector<int>{bmp[i], bmp[i + 1], bmp[i + 2]};
    };
    EXPECT_EQ(at(0, 0), (std::vector<int>{0x80, 0, 0}));
    EXPECT_EQ(at(10, 10), (std::vector<int>{0, 0, 0xFF}));
    EXPECT_EQ(at(19, 19), (std::vector<int>{0, 0, 0xFF}));
    EXPECT_EQ(at(20, 19), (std::vector<int>{0x80, 0, 0}));
    EXPECT_EQ(at(639, 479), (std::vector<int>{0x80, 0, 0}));
    // Half-transparent white over the navy clear colour.
    const auto blended = at(120, 110);
    EXPECT_NEAR(blended[0], 0xC0, 1);
    EXPECT_NEAR(blended[1], 0x80, 1);
    EXPECT_NEAR(blended[2], 0x80, 1);
    // The circle's rightmost point, and the picture's texel centres.
    EXPECT_EQ(at(350, 200), (std::vector<int>{0, 0xFF, 0}));
    for (auto [x, y, colour] : {std::tuple{216, 316, std::vector<int>{0, 0, 0xFF}},
                                {249, 316, std::vector<int>{0, 0xFF, 0}},
                                {216, 349, std::vector<int>{0xFF, 0, 0}},
                                {249, 349, std::vector<int>{0xFF, 0xFF, 0xFF}}}) {
        const auto got = at(x, y);
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(got[c], colour[c], 1) << x << "," << y;
    }
}

TEST_F(EngineGLTest, ALostAndRestoredDeviceDrawsTheSamePictureAgain) {
    DrawPicture();
    const auto before = ReadBackBuffer();
    // The linear filter blends the picture's texels between their centres.
    const uint32_t middle = before[332 * 640 + 232];
    EXPECT_NE(middle, 0xFF0000u);
    EXPECT_NE(middle, 0xFFFFFFu);
    PresentFrame();

    GetDevice()->LoseDevice();
    PresentFrame();
    EXPECT_EQ(releases, 1);
    EXPECT_EQ(restores, 1);
    EXPECT_EQ(host_.exitRequests, 0);
    EXPECT_EQ(GetDevice()->TestCooperativeLevel(), D3D_OK);

    DrawPicture();
    const auto after = ReadBackBuffer();
    size_t differing = 0;
    for (size_t i = 0; i < before.size(); ++i) differing += before[i] != after[i];
    EXPECT_EQ(differing, 0u);
    releases = restores = 0;
}

}  // namespace
