// Cost of one device callback's worth of mixing (1024 frames, 23.2 ms of
// sound) with every buffer the game can have playing at once: the 59 effect
// buffers and one music piece.
#include <benchmark/benchmark.h>

#include <vector>

#include "platform/audio.h"

namespace {

void BM_MixFullLoad(benchmark::State& state) {
    platform::AudioMixer mixer;
    std::vector<std::unique_ptr<platform::AudioBuffer>> buffers;
    const int voices = static_cast<int>(state.range(0));
    for (int i = 0; i < voices; ++i) {
        auto buffer = mixer.CreateBuffer(platform::PcmFormat(i == 0 ? 2 : 1, 16, 22050), 22050 * 2 * 2);
        uint8_t* bytes = buffer->Lock();
        for (int b = 0; b < 22050 * 2 * 2; ++b) bytes[b] = static_cast<uint8_t>(b * 7 + i);
        buffer->Unlock();
        buffer->SetVolume(-600);
        buffer->SetPan(i * 100 - 3000);
        buffer->Play(true);
        buffers.push_back(std::move(buffer));
    }
    std::vector<int16_t> out(1024 * 2);
    for (auto _ : state) {
        mixer.Mix(out.data(), 1024);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * 1024);
}
BENCHMARK(BM_MixFullLoad)->Arg(1)->Arg(60)->Unit(benchmark::kMicrosecond);

}  // namespace
