// Surfaces: archive pictures in the asked format, the depth buffer and its
// return after a reset, copies to and from the render target.
#include "engine/graphics/surface.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/core/log.h"
#include "engine/core/math.h"
#include "engine/graphics/device.h"
#include "engine/graphics/kag_archive.h"
#include "engine/graphics/render_state.h"
#include "tests/support/recording_device.h"
#include "tests/support/temp_dir.h"

namespace {

class SurfaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitializeMathTables();
        ASSERT_EQ(InitializeDirectXGraphics(), 1);
        InitSurfaceList();
        // A 4x2 picture, pixel (x, y) = B x, G y, R 0x40, A 0xFF.
        std::vector<uint8_t> pixels;
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 4; ++x) pixels.insert(pixels.end(), {uint8_t(x), uint8_t(y), 0x40, 0xFF});
        KagWriter writer;
        writer.Add("pic", 4, 2, IMAGE_PIXEL_32, pixels.data());
        archive = dir.file("pics.dat");
        ASSERT_TRUE(writer.WriteFile(archive));
    }
    void TearDown() override {
        DestroySurfaceList();
        logFileName[0] = '\0';
    }
    test::RecordingDevice& device() { return *graphics.device(); }

    test::RecordingGraphics graphics;
    test::TempDir dir;
    std::string archive;
};

TEST_F(SurfaceTest, FormatKindChoosesTheSurfaceFormat) {
    const struct { int kind; gpu::D3DFORMAT format; } cases[] = {
        {FORMAT_SCREEN, GetBackBufferFormat()},
        {FORMAT_NORMAL, GetNormalTextureFormat()},
        {FORMAT_ALPHA, GetAlphaTextureFormat()},
        {FORMAT_WIDEUSE, gpu::D3DFMT_A8R8G8B8},
    };
    for (const auto& c : cases) {
        Surface* s = CreateSurfaceFromArchive(archive.c_str(), "pic", c.kind, nullptr);
        EXPECT_EQ(s->IsReady(), 1) << c.kind;
        EXPECT_EQ(s->GetFormat(), c.format) << c.kind;
        EXPECT_EQ(s->GetWidth(), 4);
        EXPECT_EQ(s->GetHeight(), 2);
        s->Release();
    }
    Surface* unknown = CreateSurfaceFromArchive(archive.c_str(), "pic", 5, nullptr);
    EXPECT_EQ(unknown->IsReady(), 0);
    unknown->Release();
}

TEST_F(SurfaceTest, WideUsePictureHoldsTheArchivePixels) {
    Surface* s = CreateSurfaceFromArchive(archive.c_str(), "pic", FORMAT_WIDEUSE, nullptr);
    void* bits;
    int pitch;
    ASSERT_EQ(s->Lock(&bits, &pitch), 1);
    uint32_t p;
    std::memcpy(&p, static_cast<uint8_t*>(bits) + pitch + 4 * 3, 4);
    s->Unlock();
    EXPECT_EQ(p, 0xFF400103u);
    s->Release();
}

TEST_F(SurfaceTest, MissingKeyLogsTheArchiveErrorAndGivesASurfaceThatIsNotReady) {
    std::snprintf(logFileName, sizeof logFileName, "%s", dir.file("log.txt").c_str());
    Surface* s = CreateSurfaceFromArchive(archive.c_str(), "nothere", FORMAT_SCREEN, nullptr);
    EXPECT_EQ(s->IsReady(), 0);
    void* bits;
    int pitch;
    EXPECT_EQ(s->Lock(&bits, &pitch), 0);
    s->Release();
    std::ifstream in(dir.file("log.txt"));
    const std::string log{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_NE(log.find("Error Can't Load KAG File\n"), std::string::npos) << log;
}

TEST_F(SurfaceTest, DepthBufferCountsItsVideoMemoryAndComesBackAfterAReset) {
    const int before = GetVideoMemoryUse();
    Surface* depth = CreateDepthBuffer(640, 480, nullptr);
    ASSERT_EQ(depth->IsReady(), 1);
    EXPECT_EQ(GetVideoMemoryUse() - before, 614400);
    ASSERT_EQ(depth->SetAsDepthBuffer(), 1);
    EXPECT_EQ(GetCurrentDepthSurface(), depth);
    device().LoseDevice();
    device().ClearCalls();
    RestoreLostDevice(1);
    ASSERT_NE(depth->surface, nullptr);
    // The recovery set the new depth surface again: SetRenderTarget(null, depth).
    EXPECT_EQ(device().CallsNamed("SetRenderTarget").back().args, (std::vector<uint32_t>{0, 1}));
    gpu::Surface* current = nullptr;
    ASSERT_EQ(device().GetDepthStencilSurface(&current), gpu::D3D_OK);
    gpu::D3DSURFACE_DESC desc{};
    current->GetDesc(&desc);
    EXPECT_EQ(desc.Format, gpu::D3DFMT_D16);
    EXPECT_EQ(desc.Width, 640u);
    current->Release();
    depth->Release();
    EXPECT_EQ(GetVideoMemoryUse(), before);
    EXPECT_EQ(GetCurrentDepthSurface(), nullptr);
}

TEST_F(SurfaceTest, ImageSurfacesKeepTheirPictureThroughAReset) {
    Surface* s = CreateSurfaceFromArchive(archive.c_str(), "pic", FORMAT_WIDEUSE, nullptr);
    gpu::Surface* before = s->surface;
    ReleaseSurfaceDeviceObjects();
    RestoreSurfaceDeviceObjects();
    EXPECT_EQ(s->surface, before);
    EXPECT_EQ(s->SetAsRenderTarget(), 0);
    EXPECT_EQ(s->SetAsDepthBuffer(), 0);
    s->Release();
}

TEST_F(SurfaceTest, CopyToRenderTargetClipsANegativeDestination) {
    Surface* s = CreateSurfaceFromArchive(archive.c_str(), "pic", FORMAT_SCREEN, nullptr);
    s->CopyToRenderTarget(-2, 0, 0, 0, 4, 2);
    s->Release();
    void* bits;
    int pitch;
    ASSERT_EQ(LockBackBuffer(&bits, &pitch), 1);
    uint32_t first, third;
    std::memcpy(&first, bits, 4);
    std::memcpy(&third, static_cast<uint8_t*>(bits) + 8, 4);
    UnlockBackBuffer();
    EXPECT_EQ(first & 0xFFFFFF, 0x400002u);  // source column 2 at x 0
    EXPECT_EQ(third & 0xFFFFFF, 0u);
}

}  // namespace
