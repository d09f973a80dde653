// Texture creation, the fit loop, draw geometry, fills, bitmaps, copies and
// device loss, on the recording device.
#include "engine/graphics/texture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "engine/core/math.h"
#include "engine/graphics/device.h"
#include "engine/graphics/kag_archive.h"
#include "engine/graphics/render_state.h"
#include "engine/graphics/surface.h"
#include "tests/support/bitmap_bytes.h"
#include "tests/support/recording_device.h"
#include "tests/support/temp_dir.h"

namespace {

using gpu::D3D_OK;
using gpu::D3DFORMAT;
using gpu::D3DLOCKED_RECT;
using gpu::D3DSURFACE_DESC;
using gpu::RECT;

class TextureTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitializeMathTables();
        EnableTexture32Bit();
        ASSERT_EQ(InitializeDirectXGraphics(), 1);
        InitTextureList();
        InitSurfaceList();
        device().ClearCalls();
        videoMemoryBefore = GetVideoMemoryUse();
    }
    void TearDown() override {
        DestroyTextureList();
        DestroySurfaceList();
        ResetGraphicsSettings();
    }
    test::RecordingDevice& device() { return *graphics.device(); }

    // An archive with one 32-bit entry "pic" whose pixel (x, y) is
    // B = x, G = y, R = 0x40, A = 0xFF.
    std::string WritePicture(int width, int height) {
        std::vector<uint8_t> pixels;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) pixels.insert(pixels.end(), {uint8_t(x), uint8_t(y), 0x40, 0xFF});
        KagWriter writer;
        writer.Add("pic", width, height, IMAGE_PIXEL_32_LZSS, pixels.data());
        const std::string path = dir.file("pics.dat");
        EXPECT_TRUE(writer.WriteFile(path));
        return path;
    }

    // A ready texture of a given format with a zeroed backup.
    Texture* MakeTexture(int width, int height, D3DFORMAT format) {
        auto* t = new Texture();
        t->width = t->imageWidth = width;
        t->height = t->imageHeight = height;
        t->format = format;
        EXPECT_EQ(t->CreateBackup(), 1);
        t->ready = 1;
        t->invImageWidth = 1.0f / width;
        t->invImageHeight = 1.0f / height;
        return t;
    }

    static uint32_t Pixel32(Texture* t, int x, int y) {
        void* bits;
        int pitch;
        EXPECT_EQ(t->Lock(&bits, &pitch), 1);
        uint32_t p;
        std::memcpy(&p, static_cast<uint8_t*>(bits) + y * pitch + 4 * x, 4);
        t->Unlock();
        return p;
    }

    // What the device texture holds, uploaded from the backup.
    static uint32_t DevicePixel32(Texture* t, int x, int y) {
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(t->GetD3DTexture()->LockRect(0, &locked, nullptr, 0), D3D_OK);
        uint32_t p = 0;
        if (locked.pBits) std::memcpy(&p, static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch + 4 * x, 4);
        t->GetD3DTexture()->UnlockRect(0);
        return p;
    }

    std::vector<TexturedVertex2D> DrawnQuad() {
        const auto draws = device().CallsNamed("DrawPrimitiveUP");
        EXPECT_EQ(draws.size(), 1u);
        std::vector<TexturedVertex2D> v(4);
        if (draws.size() == 1 && draws[0].vertices.size() == sizeof(TexturedVertex2D) * 4)
            std::memcpy(v.data(), draws[0].vertices.data(), sizeof(TexturedVertex2D) * 4);
        return v;
    }

    test::RecordingGraphics graphics;
    test::TempDir dir;
    int videoMemoryBefore = 0;
};

TEST_F(TextureTest, ArchivePictureFillsTheBackupAndUploadsIt) {
    Texture* t = CreateTextureFromArchive(WritePicture(8, 4).c_str(), "PIC", 1, nullptr);
    ASSERT_EQ(t->IsReady(), 1);
    EXPECT_EQ(t->GetWidth(), 8);
    EXPECT_EQ(t->GetImageHeight(), 4);
    EXPECT_EQ(t->GetFormat(), gpu::D3DFMT_A8R8G8B8);
    EXPECT_FLOAT_EQ(t->GetInvImageWidth(), 0.125f);
    EXPECT_EQ(Pixel32(t, 5, 3), 0xFF400305u);
    EXPECT_EQ(DevicePixel32(t, 5, 3), 0xFF400305u);
    EXPECT_EQ(GetVideoMemoryUse() - videoMemoryBefore, 8 * 4 * 4);
    t->Release();
    EXPECT_EQ(GetVideoMemoryUse(), videoMemoryBefore);
}

TEST_F(TextureTest, MissingKeyOrFileGivesATextureThatIsNotReadyAndDrawsNothing) {
    Texture* fromArchive = CreateTextureFromArchive(WritePicture(4, 4).c_str(), "nothere", 1, nullptr);
    Texture* fromFile = CreateTextureFromFile(dir.file("missing.png").c_str(), 1, 0, nullptr);
    for (Texture* t : {fromArchive, fromFile}) {
        EXPECT_EQ(t->IsReady(), 0);
        const RECT r{0, 0, 4, 4};
        t->Draw(&r, 0, &r, 0xFFFFFFFF, BLEND_ALPHA);
        void* bits;
        int pitch;
        EXPECT_EQ(t->Lock(&bits, &pitch), 0);
        t->Release();
    }
    EXPECT_TRUE(device().CallsNamed("DrawPrimitiveUP").empty());
    EXPECT_EQ(GetVideoMemoryUse(), videoMemoryBefore);
}

TEST_F(TextureTest, FitLoopHalvesUntilTheTextureFitsAndStillSpansThePicture) {
    // 1 MB free: 1024x1024x4x1.1 and 512x512x4x1.1 do not fit, 256x256 does.
    device().availableTextureMem = 1u << 20;
    Texture* t = CreateTextureFromArchive(WritePicture(1024, 1024).c_str(), "pic", 1, nullptr);
    ASSERT_EQ(t->IsReady(), 1);
    EXPECT_EQ(t->GetWidth(), 256);
    EXPECT_EQ(t->GetHeight(), 256);
    EXPECT_EQ(t->GetImageWidth(), 1024);
    EXPECT_FLOAT_EQ(t->GetInvImageWidth(), 1.0f / 1024);
    // Nearest-neighbour: backup pixel (x, y) is picture pixel (4x, 4y).
    EXPECT_EQ(Pixel32(t, 3, 10), 0xFF40280Cu);
    t->Release();
}

// The backup is not cleared by hand: the device's new textures read as zero,
// also where the memory held an earlier texture's pixels.
TEST_F(TextureTest, AnEmptyTextureStartsClearedWhereAFilledOneWas) {
    for (int round = 0; round < 3; ++round) {
        Texture* t = CreateTexture(256, 256, 1, nullptr);
        ASSERT_EQ(t->IsReady(), 1);
        void* bits = nullptr;
        int pitch = 0;
        ASSERT_EQ(t->Lock(&bits, &pitch), 1);
        const auto* bytes = static_cast<const uint8_t*>(bits);
        EXPECT_EQ(std::count(bytes, bytes + static_cast<size_t>(pitch) * t->GetHeight(), 0),
                  static_cast<ptrdiff_t>(pitch) * t->GetHeight())
            << "round " << round;
        t->Unlock();
        t->Fill(0xFF123456);
        t->Release();
    }
}

TEST_F(TextureTest, FitLoopGivesUpWhenNothingFits) {
    device().availableTextureMem = 0;
    Texture* t = CreateTexture(64, 64, 1, nullptr);
    EXPECT_EQ(t->IsReady(), 0);
    EXPECT_EQ(t->GetD3DTexture(), nullptr);
    t->Release();
}

TEST_F(TextureTest, DrawEmitsOneTexturedFanWithPictureCoordinates) {
    Texture* t = MakeTexture(256, 256, gpu::D3DFMT_A8R8G8B8);
    device().ClearCalls();
    const RECT dest{10, 20, 110, 70}, src{0, 0, 256, 256};
    t->Draw(&dest, 65536.0f, &src, 0x80FFFFFF, BLEND_ALPHA);
    const auto v = DrawnQuad();
    const float expected[4][4] = {{9.5f, 19.5f, 0.001953125f, 0.001953125f},
                                  {109.5f, 19.5f, 0.998046875f, 0.001953125f},
                                  {109.5f, 69.5f, 0.998046875f, 0.998046875f},
                                  {9.5f, 69.5f, 0.001953125f, 0.998046875f}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(v[i].x, expected[i][0]) << i;
        EXPECT_FLOAT_EQ(v[i].y, expected[i][1]) << i;
        EXPECT_FLOAT_EQ(v[i].u, expected[i][2]) << i;
        EXPECT_FLOAT_EQ(v[i].v, expected[i][3]) << i;
        EXPECT_EQ(v[i].z, 1.0f);
        EXPECT_EQ(v[i].rhw, 1.0f);
        EXPECT_EQ(v[i].colour, 0x80FFFFFFu);
    }
    const auto draw = device().CallsNamed("DrawPrimitiveUP")[0];
    EXPECT_EQ(draw.args, (std::vector<uint32_t>{gpu::D3DPT_TRIANGLEFAN, 2, sizeof(TexturedVertex2D)}));
    EXPECT_EQ(device().CallsNamed("SetVertexShader").back().args[0], 0x144u);
    EXPECT_EQ(boundTextures[0], t);
    EXPECT_EQ(graphics.host.primitives, 2);
    t->Release();
}

TEST_F(TextureTest, MirroredAndWrappingSourcesMapStraightToCoordinates) {
    Texture* t = MakeTexture(64, 32, gpu::D3DFMT_A8R8G8B8);
    SetTexelOffset(0.0f);
    struct Case { RECT src; float uL, vT, uR, vB; };
    const Case cases[] = {
        {{64, 0, 0, 32}, 1.0f, 0.0f, 0.0f, 1.0f},    // left > right: mirrored
        {{0, 32, 64, 0}, 0.0f, 1.0f, 1.0f, 0.0f},    // upside down
        {{-64, 0, 128, 64}, -1.0f, 0.0f, 2.0f, 2.0f},  // beyond the picture: repeats under WRAP
    };
    for (const Case& c : cases) {
        device().ClearCalls();
        const RECT dest{0, 0, 10, 10};
        t->Draw(&dest, 0, &c.src, 0xFFFFFFFF, BLEND_OPAQUE);
        const auto v = DrawnQuad();
        EXPECT_FLOAT_EQ(v[0].u, c.uL);
        EXPECT_FLOAT_EQ(v[0].v, c.vT);
        EXPECT_FLOAT_EQ(v[2].u, c.uR);
        EXPECT_FLOAT_EQ(v[2].v, c.vB);
    }
    SetTexelOffset(0.5f);
    t->Release();
}

TEST_F(TextureTest, DrawRotatedTurnsAboutTheCentre) {
    Texture* t = MakeTexture(16, 16, gpu::D3DFMT_A8R8G8B8);
    device().ClearCalls();
    const RECT dest{0, 0, 100, 50}, src{0, 0, 16, 16};
    t->DrawRotated(&dest, 0, &src, 16384, 0xFFFFFFFF, BLEND_ALPHA);
    const auto v = DrawnQuad();
    // Corner (-0.5, -0.5) is (-50.5, -25.5) from the centre (50, 25); a
    // quarter turn (x, y) -> (-y, x) brings it to (75.5, -25.5).
    float x = -50.5f, y = -25.5f;
    RotateByAngle16(&x, &y, 16384);
    EXPECT_FLOAT_EQ(v[0].x, x + 50.0f);
    EXPECT_FLOAT_EQ(v[0].y, y + 25.0f);
    EXPECT_NEAR(v[0].x, 75.5f, 1e-4);
    EXPECT_NEAR(v[0].y, -25.5f, 1e-4);
    t->Release();
}

TEST_F(TextureTest, DrawQuadTakesTheCornersInOrder) {
    Texture* t = MakeTexture(16, 16, gpu::D3DFMT_A8R8G8B8);
    device().ClearCalls();
    const int corners[8] = {1, 2, 30, 4, 28, 40, 3, 38};
    const RECT src{0, 0, 16, 16};
    t->DrawQuad(corners, 0, &src, 0xFFFFFFFF, BLEND_ALPHA);
    const auto v = DrawnQuad();
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(v[i].x, corners[2 * i] - 0.5f);
        EXPECT_EQ(v[i].y, corners[2 * i + 1] - 0.5f);
    }
    EXPECT_LT(v[0].u, v[1].u);
    EXPECT_LT(v[1].v, v[2].v);
    t->Release();
}

TEST_F(TextureTest, InvertedAddDrawsBetweenTwoScreenInversions) {
    Texture* t = MakeTexture(16, 16, gpu::D3DFMT_A8R8G8B8);
    device().ClearCalls();
    const RECT r{0, 0, 16, 16};
    t->Draw(&r, 0, &r, 0xFFFFFFFF, BLEND_INVERTED_ADD);
    // The screen's inversion, the textured quad added, the inversion back.
    const auto draws = device().CallsNamed("DrawPrimitiveUP");
    ASSERT_EQ(draws.size(), 3u);
    EXPECT_EQ(draws[0].args[2], 20u);
    EXPECT_EQ(draws[1].args[2], sizeof(TexturedVertex2D));
    EXPECT_EQ(draws[2].args[2], 20u);
    EXPECT_EQ(graphics.host.primitives, 6);
    t->Release();
}

struct FillCase {
    D3DFORMAT format;
    uint32_t colour;
    uint32_t expected;  // the first pixel
};
class TextureFillTest : public TextureTest, public ::testing::WithParamInterface<FillCase> {};

TEST_P(TextureFillTest, FillsEveryPixel) {
    const FillCase& c = GetParam();
    Texture* t = MakeTexture(3, 2, c.format);
    t->Fill(c.colour);
    void* bits;
    int pitch;
    ASSERT_EQ(t->Lock(&bits, &pitch), 1);
    const int bytes = GetFormatBytesPerPixel(c.format);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            uint32_t p = 0;
            std::memcpy(&p, static_cast<uint8_t*>(bits) + y * pitch + bytes * x, bytes);
            EXPECT_EQ(p, c.expected) << x << "," << y;
        }
    }
    t->Unlock();
    t->Release();
}

INSTANTIATE_TEST_SUITE_P(
    FormatsAndColours, TextureFillTest,
    ::testing::Values(FillCase{gpu::D3DFMT_A4R4G4B4, 0x00000000, 0x0000}, FillCase{gpu::D3DFMT_A8R8G8B8, 0x00000000, 0},
                      FillCase{gpu::D3DFMT_A8R8G8B8, 0x00FFFFFF, 0xFFFFFFFF}, FillCase{gpu::D3DFMT_R5G6B5, 0x00FFFFFF, 0xFFFF},
                      FillCase{gpu::D3DFMT_A8R8G8B8, 0x00FF0000, 0xFFFF0000}, FillCase{gpu::D3DFMT_R5G6B5, 0x00FF0000, 0xF800},
                      FillCase{gpu::D3DFMT_A1R5G5B5, 0x00FF0000, 0xFC00}, FillCase{gpu::D3DFMT_A4R4G4B4, 0x00FF0000, 0xFF00},
                      FillCase{gpu::D3DFMT_X4R4G4B4, 0x12345678, 0xF357},
                      // A grey other than black or white packs like any colour.
                      FillCase{gpu::D3DFMT_A8R8G8B8, 0x00808080, 0xFF808080}, FillCase{gpu::D3DFMT_R5G6B5, 0x00808080, 0x8410}));

TEST_F(TextureTest, FillDoesNothingOnATextureThatIsNotReady) {
    Texture* t = MakeTexture(2, 2, gpu::D3DFMT_A8R8G8B8);
    t->ready = 0;
    t->Fill(0x00FF0000);
    t->ready = 1;
    EXPECT_EQ(Pixel32(t, 1, 1), 0u);
    t->Release();
}

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct BitmapCase {
    D3DFORMAT format;
    uint32_t pixel;         // written to every pixel
    uint8_t b, g, r;        // what the file holds for it
};
class TextureBitmapTest : public TextureTest, public ::testing::WithParamInterface<BitmapCase> {};

TEST_P(TextureBitmapTest, WritesPaddedBottomUpRows) {
    const BitmapCase& c = GetParam();
    Texture* t = MakeTexture(10, 2, c.format);
    void* bits;
    int pitch;
    ASSERT_EQ(t->Lock(&bits, &pitch), 1);
    const int bytes = GetFormatBytesPerPixel(c.format);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 10; ++x) std::memcpy(static_cast<uint8_t*>(bits) + y * pitch + bytes * x, &c.pixel, bytes);
    // The top row's first pixel is black, so the row order shows.
    std::memset(bits, 0, bytes);
    t->Unlock();
    const std::string path = dir.file("shot.bmp");
    ASSERT_EQ(t->SaveBitmap(path.c_str()), 1);
    const auto file = ReadFile(path);
    ASSERT_EQ(file.size(), 54u + 2 * 32);  // 30 bytes of pixels and 2 of padding a row
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[2], 118);
    EXPECT_EQ(file[10], 54);
    EXPECT_EQ(file[18], 10);
    EXPECT_EQ(file[22], 2);
    EXPECT_EQ(file[28], 24);
    // Bottom row first: its first pixel has the colour, the top row's is black.
    EXPECT_EQ((std::vector<uint8_t>{file[54], file[55], file[56]}), (std::vector<uint8_t>{c.b, c.g, c.r}));
    EXPECT_EQ((std::vector<uint8_t>{file[84], file[85]}), (std::vector<uint8_t>{0, 0}));
    EXPECT_EQ((std::vector<uint8_t>{file[86], file[87], file[88]}), (std::vector<uint8_t>{0, 0, 0}));
    t->Release();
}

INSTANTIATE_TEST_SUITE_P(Formats, TextureBitmapTest,
                         ::testing::Values(BitmapCase{gpu::D3DFMT_A8R8G8B8, 0xFF102030, 0x30, 0x20, 0x10},
                                           BitmapCase{gpu::D3DFMT_R5G6B5, 0xF81F, 255, 0, 255},
                                           BitmapCase{gpu::D3DFMT_A1R5G5B5, 0x83E0, 0, 255, 0},
                                           BitmapCase{gpu::D3DFMT_A4R4G4B4, 0xF0F8, 136, 255, 0}));

// The whole file, byte for byte, of a picture whose rows need padding.
TEST_F(TextureTest, SaveBitmapWritesEachFormatsWholeFile) {
    for (const test::BitmapFormatCase& c : test::BitmapFormatCases()) {
        Texture* t = MakeTexture(3, 2, c.format);
        void* bits;
        int pitch;
        ASSERT_EQ(t->Lock(&bits, &pitch), 1) << c.name;
        test::WritePixels(c, bits, pitch, 3, GetFormatBytesPerPixel(c.format));
        t->Unlock();
        const std::string path = dir.file(std::string(c.name) + ".bmp");
        ASSERT_EQ(t->SaveBitmap(path.c_str()), 1) << c.name;
        EXPECT_EQ(ReadFile(path), test::ExpectedBitmapFile(3, 2, c.bgr)) << c.name;
        t->Release();
    }
}

TEST_F(TextureTest, SaveBitmapRefusesAnUnsupportedFormatAndAnUnopenableFile) {
    Texture* rgb332 = MakeTexture(4, 4, gpu::D3DFMT_X4R4G4B4);
    EXPECT_EQ(rgb332->SaveBitmap(dir.file("x.bmp").c_str()), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.bmp")));
    Texture* t = MakeTexture(4, 4, gpu::D3DFMT_A8R8G8B8);
    EXPECT_EQ(t->SaveBitmap(dir.file("no/such/folder/x.bmp").c_str()), 0);
    void* bits;
    int pitch;
    EXPECT_EQ(t->Lock(&bits, &pitch), 1);  // left unlocked after the failure
    t->Unlock();
    rgb332->Release();
    t->Release();
}

TEST_F(TextureTest, PictureFileLoadsWithItsColourKeyedPixelsTransparent) {
    Texture* saved = MakeTexture(4, 2, gpu::D3DFMT_A8R8G8B8);
    saved->Fill(0x00FF0000);
    void* bits;
    int pitch;
    ASSERT_EQ(saved->Lock(&bits, &pitch), 1);
    const uint32_t blue = 0xFF0000FF;
    std::memcpy(static_cast<uint8_t*>(bits) + pitch + 4, &blue, 4);  // pixel (1, 1)
    saved->Unlock();
    ASSERT_EQ(saved->SaveBitmap(dir.file("pic.bmp").c_str()), 1);
    saved->Release();

    Texture* t = CreateTextureFromFile(dir.file("pic.bmp").c_str(), 1, 0xFF0000FF, nullptr);
    ASSERT_EQ(t->IsReady(), 1);
    EXPECT_EQ(t->GetImageWidth(), 4);
    EXPECT_EQ(Pixel32(t, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(Pixel32(t, 1, 1), 0u);
    t->Release();
}

TEST_F(TextureTest, CopyFromSurfaceClipsBothRectangles) {
    // A 4x4 image surface of the texture's format, pixel (x, y) = 0xFF0000yx.
    std::vector<uint8_t> pixels;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) pixels.insert(pixels.end(), {uint8_t(y << 4 | x), 0, 0, 0xFF});
    KagWriter writer;
    writer.Add("src", 4, 4, IMAGE_PIXEL_32, pixels.data());
    ASSERT_TRUE(writer.WriteFile(dir.file("s.dat")));
    Surface* s = CreateSurfaceFromArchive(dir.file("s.dat").c_str(), "src", FORMAT_WIDEUSE, nullptr);
    ASSERT_EQ(s->IsReady(), 1);
    Texture* t = MakeTexture(4, 4, gpu::D3DFMT_A8R8G8B8);
    // destX -2 moves the source's left edge from 0 to 2; the source rectangle
    // reaching past the surface is cut.
    t->CopyFromSurface(-2, 1, 0, 0, 10, 10, s);
    EXPECT_EQ(Pixel32(t, 0, 1), 0xFF000002u);
    EXPECT_EQ(Pixel32(t, 1, 3), 0xFF000023u);
    EXPECT_EQ(Pixel32(t, 2, 1), 0u);
    EXPECT_EQ(Pixel32(t, 0, 0), 0u);
    s->Release();
    t->Release();
}

TEST_F(TextureTest, CopyFromBackBufferLandsInTheDeviceTextureClipped) {
    Texture* t = CreateRenderTargetTexture(16, 16, nullptr);
    ASSERT_EQ(t->IsReady(), 1);
    ClearTarget(0xFF123456);
    // destY -4 moves the source's top edge down; the copy past the right edge is cut.
    t->CopyFromBackBuffer(12, -4, 0, 0, 10, 10);
    EXPECT_EQ(DevicePixel32(t, 12, 0) & 0xFFFFFF, 0x123456u);
    EXPECT_EQ(DevicePixel32(t, 15, 5) & 0xFFFFFF, 0x123456u);
    EXPECT_EQ(DevicePixel32(t, 11, 0), 0u);
    EXPECT_EQ(DevicePixel32(t, 12, 6), 0u);
    t->Release();
}

TEST(SurfaceCopyClip, CutsSourceAndDestination) {
    struct Case { int destX, destY; RECT rect; bool copies; int outX, outY; RECT outRect; };
    const Case cases[] = {
        {-5, 0, {0, 0, 20, 10}, true, 0, 0, {5, 0, 20, 10}},
        {95, 0, {0, 0, 20, 10}, true, 95, 0, {0, 0, 5, 10}},     // destination 100 wide
        {0, 0, {-3, -4, 10, 10}, true, 3, 4, {0, 0, 10, 10}},    // source starts outside its surface
        {0, 0, {40, 0, 80, 10}, true, 0, 0, {40, 0, 50, 10}},    // source 50 wide
        {100, 0, {0, 0, 10, 10}, false, 0, 0, {}},
        {0, 0, {10, 0, 10, 10}, false, 0, 0, {}},
    };
    for (const Case& c : cases) {
        int x = c.destX, y = c.destY;
        RECT r = c.rect;
        ASSERT_EQ(ClipSurfaceCopy(&x, &y, &r, 50, 50, 100, 100), c.copies);
        if (!c.copies) continue;
        EXPECT_EQ(x, c.outX);
        EXPECT_EQ(y, c.outY);
        EXPECT_EQ((std::vector<int>{r.left, r.top, r.right, r.bottom}),
                  (std::vector<int>{c.outRect.left, c.outRect.top, c.outRect.right, c.outRect.bottom}));
    }
}

TEST_F(TextureTest, DeviceResetRestoresPicturesAndRenderTargets) {
    Texture* t = CreateTextureFromArchive(WritePicture(8, 8).c_str(), "pic", 1, nullptr);
    Texture* target = CreateRenderTargetTexture(64, 64, nullptr);
    ASSERT_EQ(target->IsReady(), 1);
    ASSERT_EQ(t->IsReady(), 1);
    device().LoseDevice();
    RestoreLostDevice(1);
    ASSERT_NE(t->GetD3DTexture(), nullptr);
    ASSERT_NE(target->GetD3DTexture(), nullptr);
    // The picture came back from the backup.
    EXPECT_EQ(DevicePixel32(t, 5, 2), 0xFF400205u);
    D3DSURFACE_DESC desc{};
    target->GetD3DTexture()->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Usage & gpu::D3DUSAGE_RENDERTARGET, gpu::D3DUSAGE_RENDERTARGET);
    EXPECT_EQ(target->SetAsRenderTarget(), 1);
    t->Release();
    target->Release();
}

TEST_F(TextureTest, FailedRestoreLeavesATextureThatCannotBeLocked) {
    Texture* t = MakeTexture(8, 8, gpu::D3DFMT_A8R8G8B8);
    t->ReleaseDeviceObjects();
    t->format = gpu::D3DFMT_UNKNOWN;  // the device refuses to make it again
    t->RestoreDeviceObjects();
    EXPECT_EQ(t->IsReady(), 0);
    void* bits = nullptr;
    int pitch = 0;
    EXPECT_EQ(t->Lock(&bits, &pitch), 0);
    t->Release();
}

}  // namespace
