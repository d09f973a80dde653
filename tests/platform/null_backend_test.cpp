// The null backend's clear on back buffers of every pixel size.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/gpu_device.h"
#include "tests/support/recording_device.h"

namespace {

using namespace gpu;

// Each pixel of the locked back buffer, read in the buffer's own size.
std::vector<uint32_t> Pixels(Device& device, int bytes) {
    Surface* surface = nullptr;
    EXPECT_EQ(device.GetBackBuffer(0, &surface), D3D_OK);
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(surface->LockRect(&locked, nullptr, 0), D3D_OK);
    D3DSURFACE_DESC desc{};
    surface->GetDesc(&desc);
    std::vector<uint32_t> pixels;
    for (uint32_t y = 0; y < desc.Height; ++y) {
        const auto* row = static_cast<const uint8_t*>(locked.pBits) + y * locked.Pitch;
        for (uint32_t x = 0; x < desc.Width; ++x) {
            uint32_t pixel = 0;
            std::memcpy(&pixel, row + x * bytes, bytes);
            pixels.push_back(pixel);
        }
    }
    surface->UnlockRect();
    surface->Release();
    return pixels;
}

TEST(NullBackend, ClearWritesEachPixelInTheTargetsFormat) {
    const struct { D3DFORMAT format; int bytes; uint32_t expected; } cases[] = {
        {D3DFMT_X8R8G8B8, 4, 0xFFFF8040}, {D3DFMT_A8R8G8B8, 4, 0x80FF8040}, {D3DFMT_R5G6B5, 2, 0xFC08},
        {D3DFMT_X1R5G5B5, 2, 0xFE08},     {D3DFMT_A1R5G5B5, 2, 0xFE08},     {D3DFMT_A4R4G4B4, 2, 0x8F84},
    };
    for (const auto& c : cases) {
        D3DPRESENT_PARAMETERS parameters = WindowedPresentParameters(3, 2, nullptr);
        parameters.BackBufferFormat = c.format;
        auto* device = new test::RecordingDevice(parameters, false);
        ASSERT_EQ(device->Clear(D3DCLEAR_TARGET, 0x80FF8040, 0.0f, 0), D3D_OK);
        EXPECT_EQ(Pixels(*device, c.bytes), std::vector<uint32_t>(6, c.expected)) << "format " << static_cast<int>(c.format);
        device->Release();
    }
}

}  // namespace
