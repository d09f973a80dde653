// Textures and text on OpenGL: an archive picture drawn through a Texture
// lands on the expected screen pixels, and smooth Japanese text drawn into a
// canvas has alpha where its glyphs are.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "engine/core/math.h"
#include "engine/graphics/device.h"
#include "engine/graphics/font.h"
#include "engine/graphics/kag_archive.h"
#include "engine/graphics/primitives2d.h"
#include "engine/graphics/render_state.h"
#include "engine/graphics/texture.h"
#include "platform/hidden_window.h"
#include "tests/support/recording_device.h"
#include "tests/support/temp_dir.h"

namespace {

class TextureGLTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitializeMathTables();
        EnableTexture32Bit();
        window_ = std::make_unique<platform::HiddenGLWindow>(640, 480);
        host_.window = window_->handle();
        SetGraphicsHost(&host_);
        ASSERT_EQ(InitializeDirectXGraphics(), 1);
        InitTextureList();
        InitFontList();
    }
    void TearDown() override {
        DestroyFontList();
        DestroyTextureList();
        DestroyDirectXGraphics();
        SetGraphicsHost(nullptr);
        ResetGraphicsSettings();
    }
    // Screen pixel (x, y) as 0xRRGGBB.
    static uint32_t ScreenPixel(int x, int y) {
        void* bits = nullptr;
        int pitch = 0;
        EXPECT_EQ(LockBackBuffer(&bits, &pitch), 1);
        uint32_t p = 0;
        if (bits) std::memcpy(&p, static_cast<uint8_t*>(bits) + y * pitch + 4 * x, 4);
        UnlockBackBuffer();
        return p & 0xFFFFFF;
    }

    test::FakeGraphicsHost host_;
    std::unique_ptr<platform::HiddenGLWindow> window_;
    test::TempDir dir_;
};

TEST_F(TextureGLTest, ArchivePictureLandsOnTheDestinationPixels) {
    // 16x16: red, green / blue, white quadrants.
    const uint8_t quadrant[4][4] = {{0, 0, 0xFF, 0xFF}, {0, 0xFF, 0, 0xFF}, {0xFF, 0, 0, 0xFF}, {0xFF, 0xFF, 0xFF, 0xFF}};
    std::vector<uint8_t> pixels;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const uint8_t* q = quadrant[(y / 8) * 2 + x / 8];
            pixels.insert(pixels.end(), q, q + 4);
        }
    KagWriter writer;
    writer.Add("quads", 16, 16, IMAGE_PIXEL_32_LZSS, pixels.data());
    ASSERT_TRUE(writer.WriteFile(dir_.file("gen.dat")));
    Texture* t = CreateTextureFromArchive(dir_.file("gen.dat").c_str(), "quads", 0, nullptr);
    ASSERT_EQ(t->IsReady(), 1);

    ClearTarget(0xFF000000);
    ASSERT_EQ(BeginScene(), 1);
    Begin2D(BLEND_OPAQUE);
    const gpu::RECT dest{100, 100, 132, 132}, src{0, 0, 16, 16};
    t->Draw(&dest, 0.0f, &src, 0xFFFFFFFF, BLEND_OPAQUE);
    End2D();
    EndScene();

    EXPECT_EQ(ScreenPixel(103, 103), 0xFF0000u);
    EXPECT_EQ(ScreenPixel(128, 103), 0x00FF00u);
    EXPECT_EQ(ScreenPixel(103, 128), 0x0000FFu);
    EXPECT_EQ(ScreenPixel(128, 128), 0xFFFFFFu);
    EXPECT_EQ(ScreenPixel(99, 100), 0u);
    EXPECT_EQ(ScreenPixel(132, 131), 0u);
    EXPECT_NE(ScreenPixel(100, 100), 0u);
    EXPECT_NE(ScreenPixel(131, 131), 0u);
    t->Release();
}

TEST_F(TextureGLTest, SmoothJapaneseTextHasAlphaWhereItsGlyphsAre) {
    // "ＭＳ ゴシック" at 24 pixels, as the game asks for it.
    Font* font = CreateFont(platform::GOTHIC_FACE, 24, 0, 0, nullptr);
    Texture* canvas = CreateTexture(256, 256, 1, nullptr);
    ASSERT_EQ(canvas->IsReady(), 1);
    canvas->Fill(0);
    font->SetTarget(FONT_TARGET_TEXTURE, canvas);
    if (!font->BeginDC()) GTEST_SKIP() << "no Japanese face installed";
    // "あい" (two hiragana) at (10, 20).
    const int width = font->DrawTextSmooth(10, 20, 0xFFFFFF, "%s", "\x82\xa0\x82\xa2");
    font->EndDC();
    canvas->Update();
    EXPECT_GT(width, 24);
    void* bits;
    int pitch;
    ASSERT_EQ(canvas->Lock(&bits, &pitch), 1);
    int inside = 0, outside = 0, partial = 0;
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            uint32_t p;
            std::memcpy(&p, static_cast<uint8_t*>(bits) + y * pitch + 4 * x, 4);
            const uint32_t alpha = p >> 24;
            const bool inText = x >= 10 && x < 10 + width && y >= 20 && y < 20 + 24;
            if (alpha && inText) ++inside;
            if (alpha && !inText) ++outside;
            if (alpha && alpha < 255) ++partial;
        }
    }
    canvas->Unlock();
    EXPECT_GT(inside, 50);
    EXPECT_EQ(outside, 0);
    EXPECT_GT(partial, 0);  // smooth edges

    // Drawn over black, the text shows as light pixels inside its box only.
    ClearTarget(0xFF000000);
    ASSERT_EQ(BeginScene(), 1);
    Begin2D(BLEND_ALPHA);
    const gpu::RECT dest{0, 0, 256, 256}, src{0, 0, 256, 256};
    canvas->Draw(&dest, 0.0f, &src, 0xFFFFFFFF, BLEND_ALPHA);
    End2D();
    EndScene();
    int lit = 0;
    for (int y = 20; y < 44; ++y)
        for (int x = 10; x < 10 + width; ++x) lit += ScreenPixel(x, y) != 0;
    EXPECT_GT(lit, 50);
    EXPECT_EQ(ScreenPixel(200, 200), 0u);
    canvas->Release();
}

}  // namespace
