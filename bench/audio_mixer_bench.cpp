// Cost of one device callback's worth of mixing (1024 frames, 23.2 ms of
// sound) with every buffer the game can have playing at once: the 59 effect
// buffers and one music piece.
#include <benchmark/benchmark.h>

#include <ctime>
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
BENCHMARK(BM_MixFullLoad)->Arg(1)->Arg(60)->Unit(benchmark::kMicrosecond)->UseRealTime();

// Sixteen playing sounds, each through one effect (every kind twice). The
// counter core_share is the part of one core (process CPU time over the
// sound's duration) the mixing takes to keep up with 44.1 kHz; above 10 %
// the benchmark fails.
void BM_MixSixteenEffects(benchmark::State& state) {
    using platform::AudioEffect;
    constexpr AudioEffect kKinds[] = {AudioEffect::I3DL2Reverb, AudioEffect::Echo,       AudioEffect::Chorus,
                                      AudioEffect::Compressor,  AudioEffect::Distortion, AudioEffect::Flanger,
                                      AudioEffect::Gargle,      AudioEffect::ParamEq};
    constexpr int kFrames = 1024;
    platform::AudioMixer mixer;
    std::vector<std::unique_ptr<platform::AudioBuffer>> buffers;
    for (int i = 0; i < 16; ++i) {
        auto buffer = mixer.CreateBuffer(platform::PcmFormat(i % 2 + 1, 16, 22050), 22050 * 2 * 2);
        uint8_t* bytes = buffer->Lock();
        for (int b = 0; b < 22050 * 2 * 2; ++b) bytes[b] = static_cast<uint8_t>(b * 7 + i);
        buffer->Unlock();
        buffer->SetEffect(kKinds[i % 8]);
        buffer->SetVolume(-600);
        buffer->Play(true);
        buffers.push_back(std::move(buffer));
    }
    std::vector<int16_t> out(kFrames * 2);
    const std::clock_t start = std::clock();
    for (auto _ : state) {
        mixer.Mix(out.data(), kFrames);
        benchmark::DoNotOptimize(out.data());
    }
    const double cpuSeconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
    const double soundSeconds = static_cast<double>(state.iterations()) * kFrames / platform::AudioMixer::kOutputRate;
    state.SetItemsProcessed(state.iterations() * kFrames);
    state.counters["core_share"] = cpuSeconds / soundSeconds;
    if (cpuSeconds > 0.10 * soundSeconds) state.SkipWithError("the effects take more than 10 % of a core");
}
BENCHMARK(BM_MixSixteenEffects)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
