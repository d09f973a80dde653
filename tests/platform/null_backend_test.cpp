// The null backend's clear on back buffers of every pixel size.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/gpu_device.h"
#include "tests/support/recording_device.h"

namespace {

using namespace gpu;

// Each pixel of a locked surface, read in the surface's own size.
std::vector<uint32_t> Pixels(Surface* surface, int bytes) {
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
    return pixels;
}

std::vector<uint32_t> Pixels(Device& device, int bytes) {
    Surface* surface = nullptr;
    EXPECT_EQ(device.GetBackBuffer(0, &surface), D3D_OK);
    std::vector<uint32_t> pixels = Pixels(surface, bytes);
    surface->Release();
    return pixels;
}

constexpr D3DVIEWPORT8 kWhole{0, 0, 4, 3, 0.0f, 1.0f};

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

// Clears of the whole target and of parts of it, with reads between them:
// every read shows the clears made before it, in their order.
TEST(NullBackend, ClearsOfWholeAndPartShowInOrder) {
    constexpr uint32_t A = 0xFF0000AA, B = 0xFF0000BB, C = 0xFF0000CC;
    struct Step {
        D3DVIEWPORT8 viewport;
        uint32_t colour;  // 0: read the target here
    };
    const struct {
        const char* what;
        std::vector<Step> steps;
        std::vector<uint32_t> expected;
    } cases[] = {
        {"part over whole", {{kWhole, A}, {{1, 1, 2, 1, 0, 1}, B}},
         {A, A, A, A, A, B, B, A, A, A, A, A}},
        {"whole over part", {{{1, 1, 2, 1, 0, 1}, B}, {kWhole, A}}, std::vector<uint32_t>(12, A)},
        {"two wholes, then a column", {{kWhole, A}, {kWhole, B}, {{0, 0, 1, 3, 0, 1}, C}},
         {C, B, B, B, C, B, B, B, C, B, B, B}},
        {"read between", {{kWhole, A}, {kWhole, 0}, {{3, 2, 1, 1, 0, 1}, B}},
         {A, A, A, A, A, A, A, A, A, A, A, B}},
    };
    for (const auto& c : cases) {
        auto* device = new test::RecordingDevice(WindowedPresentParameters(4, 3, nullptr), false);
        for (const Step& step : c.steps) {
            if (step.colour == 0) {
                Pixels(*device, 4);
                continue;
            }
            device->SetViewport(&step.viewport);
            ASSERT_EQ(device->Clear(D3DCLEAR_TARGET, step.colour, 0.0f, 0), D3D_OK);
        }
        EXPECT_EQ(Pixels(*device, 4), c.expected) << c.what;
        device->Release();
    }
}

TEST(NullBackend, ACopyOfAClearedTargetCarriesTheClear) {
    auto* device = new test::RecordingDevice(WindowedPresentParameters(4, 3, nullptr), false);
    ASSERT_EQ(device->Clear(D3DCLEAR_TARGET, 0xFF123456, 0.0f, 0), D3D_OK);
    Surface* back = nullptr;
    Surface* image = nullptr;
    ASSERT_EQ(device->GetBackBuffer(0, &back), D3D_OK);
    ASSERT_EQ(device->CreateImageSurface(4, 3, D3DFMT_X8R8G8B8, &image), D3D_OK);
    ASSERT_EQ(device->CopyRects(back, nullptr, 0, image, nullptr), D3D_OK);
    EXPECT_EQ(Pixels(image, 4), std::vector<uint32_t>(12, 0xFF123456));
    image->Release();
    back->Release();
    device->Release();
}

// The null backend draws nothing, yet an indexed draw answers as on a backend
// that draws: the indices, read in their format and with the base vertex
// added, must reach only vertices the stream holds.
TEST(NullBackend, IndexedDrawsAreRefusedWhereTheyReachPastTheVertices) {
    const struct {
        D3DFORMAT format;
        std::vector<uint32_t> indices;
        uint32_t base;
        HRESULT expected;
    } cases[] = {
        {D3DFMT_INDEX16, {0, 1, 2, 2, 1, 3}, 0, D3D_OK},
        {D3DFMT_INDEX16, {0, 1, 4}, 0, D3DERR_INVALIDCALL},
        {D3DFMT_INDEX16, {0, 1, 2}, 1, D3D_OK},
        {D3DFMT_INDEX16, {0, 1, 2}, 2, D3DERR_INVALIDCALL},
        {D3DFMT_INDEX16, {0xFFFF, 0, 1}, 0, D3DERR_INVALIDCALL},
        {D3DFMT_INDEX32, {3, 2, 1}, 0, D3D_OK},
        {D3DFMT_INDEX32, {1, 2, 0x10000}, 0, D3DERR_INVALIDCALL},  // a 16-bit read would see 0
        {D3DFMT_INDEX32, {0, 1, 2}, 2, D3DERR_INVALIDCALL},
    };
    constexpr uint32_t kStride = 12;  // D3DFVF_XYZ
    for (const auto& c : cases) {
        auto* device = new test::RecordingDevice(WindowedPresentParameters(4, 3, nullptr), false);
        VertexBuffer* vertices = nullptr;
        IndexBuffer* indices = nullptr;
        const uint32_t indexSize = c.format == D3DFMT_INDEX32 ? 4 : 2;
        ASSERT_EQ(device->CreateVertexBuffer(4 * kStride, 0, 0, D3DPOOL_SYSTEMMEM, &vertices), D3D_OK);
        ASSERT_EQ(device->CreateIndexBuffer(static_cast<uint32_t>(c.indices.size()) * indexSize, 0, c.format,
                                            D3DPOOL_SYSTEMMEM, &indices),
                  D3D_OK);
        uint8_t* bytes = nullptr;
        indices->Lock(0, 0, &bytes, 0);
        for (size_t i = 0; i < c.indices.size(); ++i) std::memcpy(bytes + i * indexSize, &c.indices[i], indexSize);
        indices->Unlock();
        device->SetStreamSource(0, vertices, kStride);
        device->SetIndices(indices, c.base);
        device->SetVertexShader(D3DFVF_XYZ);
        const uint32_t triangles = static_cast<uint32_t>(c.indices.size()) / 3;
        EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 0, triangles), c.expected)
            << "format " << static_cast<int>(c.format) << ", base " << c.base << ", first index " << c.indices[0];
        device->SetIndices(nullptr, 0);
        device->SetStreamSource(0, nullptr, 0);
        vertices->Release();
        indices->Release();
        device->Release();
    }
}

}  // namespace
