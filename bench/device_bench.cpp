// Frames per second drawing 2,000 alpha-blended textured quads a frame, one
// DrawPrimitiveUP each as the game's sprites are drawn: on OpenGL
// (SDL_VIDEODRIVER=offscreen gives Mesa's software renderer) and on the null
// backend (the CPU vertex work alone).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/gpu_device.h"
#include "platform/hidden_window.h"

namespace {

using namespace gpu;

constexpr int kQuadsPerFrame = 2000;

struct SpriteVertex {
    float x, y, z, rhw;
    uint32_t colour;
    float u, v;
};

void DrawFrames(benchmark::State& state, void* window) {
    Direct3D* d3d = CreateDirect3D(window);
    if (!d3d) {
        state.SkipWithError("no Direct3D object");
        return;
    }
    D3DPRESENT_PARAMETERS pp = WindowedPresentParameters(640, 480, window);
    Device* device = nullptr;
    if (Failed(d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, &device))) {
        d3d->Release();
        state.SkipWithError("no device");
        return;
    }
    Texture* texture = nullptr;
    device->CreateTexture(64, 64, 1, 0, D3DFMT_A4R4G4B4, D3DPOOL_DEFAULT, &texture);
    D3DLOCKED_RECT locked{};
    texture->LockRect(0, &locked, nullptr, 0);
    for (int y = 0; y < 64; ++y) {
        auto* row = reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch);
        for (int x = 0; x < 64; ++x) row[x] = static_cast<uint16_t>(((x ^ y) & 8) ? 0xFFFF : 0x8F48);
    }
    texture->UnlockRect(0);

    device->SetRenderState(D3DRS_LIGHTING, 0);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    device->SetTexture(0, texture);
    device->SetVertexShader(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);

    // Square sprites of the benchmark's size spread over the screen.
    const float size = static_cast<float>(state.range(0));
    std::vector<SpriteVertex> quads(4 * kQuadsPerFrame);
    unsigned seed = 12345;
    for (int i = 0; i < kQuadsPerFrame; ++i) {
        seed = seed * 214013 + 2531011;
        const float x = static_cast<float>((seed >> 16) % (640 - state.range(0)));
        const float y = static_cast<float>((seed >> 4) % (480 - state.range(0)));
        const uint32_t colour = 0x80FFFFFF;
        quads[4 * i + 0] = {x, y, 0, 1, colour, 0, 0};
        quads[4 * i + 1] = {x + size, y, 0, 1, colour, 1, 0};
        quads[4 * i + 2] = {x + size, y + size, 0, 1, colour, 1, 1};
        quads[4 * i + 3] = {x, y + size, 0, 1, colour, 0, 1};
    }
    for (auto _ : state) {
        device->Clear(D3DCLEAR_TARGET, 0xFF203040, 0.0f, 0);
        device->BeginScene();
        for (int i = 0; i < kQuadsPerFrame; ++i) {
            device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, &quads[4 * i], sizeof(SpriteVertex));
        }
        device->EndScene();
        device->Present();
    }
    // Read one pixel back so the last frame has surely been rendered.
    Surface* back = nullptr;
    device->GetBackBuffer(0, &back);
    back->LockRect(&locked, nullptr, 0);
    benchmark::DoNotOptimize(*static_cast<uint32_t*>(locked.pBits));
    back->UnlockRect();
    back->Release();
    state.SetItemsProcessed(state.iterations());  // items = frames
    state.counters["quads/frame"] = kQuadsPerFrame;
    device->SetTexture(0, nullptr);
    texture->Release();
    device->Release();
    d3d->Release();
}

void BM_BlendedQuadsOpenGL(benchmark::State& state) {
    if (const char* forced = std::getenv("AERIAL_GPU"); forced && std::strcmp(forced, "null") == 0) {
        state.SkipWithError("AERIAL_GPU=null");
        return;
    }
    std::unique_ptr<platform::HiddenGLWindow> window;
    try {
        window = std::make_unique<platform::HiddenGLWindow>(640, 480);
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        return;
    }
    DrawFrames(state, window->handle());
}
// Rendering runs on the GL driver's threads: frames per second are wall-clock.
BENCHMARK(BM_BlendedQuadsOpenGL)->Arg(16)->Arg(48)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_BlendedQuadsNullBackend(benchmark::State& state) { DrawFrames(state, nullptr); }
BENCHMARK(BM_BlendedQuadsNullBackend)->Arg(48)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
