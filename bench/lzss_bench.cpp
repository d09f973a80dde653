// LZSS decoding of a 4 MB picture entry beside zlib inflate of the same bytes.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdint>
#include <vector>

#include "engine/graphics/lzss.h"

namespace {

constexpr int SIDE = 1024;  // 1024 x 1024 pixels of 4 bytes: 4 MB

// A sprite-sheet-like picture: flat cells with gradients, outlines and some
// noise, so that neither coder sees only one long run.
const std::vector<uint8_t>& Picture() {
    static const std::vector<uint8_t> picture = [] {
        std::vector<uint8_t> px(static_cast<size_t>(SIDE) * SIDE * 4);
        uint32_t noise = 12345;
        for (int y = 0; y < SIDE; ++y)
            for (int x = 0; x < SIDE; ++x) {
                uint8_t* p = &px[(static_cast<size_t>(y) * SIDE + x) * 4];
                int cell = (y / 64) * 16 + x / 64;
                bool edge = x % 64 == 0 || y % 64 == 0;
                noise = noise * 1103515245 + 12345;
                p[0] = static_cast<uint8_t>(edge ? 255 : cell * 7 + (x % 64) / 8);
                p[1] = static_cast<uint8_t>(edge ? 255 : cell * 13 + (y % 64) / 8);
                p[2] = static_cast<uint8_t>(edge ? 255 : ((noise >> 16) & 3) + cell * 3);
                p[3] = static_cast<uint8_t>((x / 64 + y / 64) % 3 == 0 ? 0 : 255);
            }
        return px;
    }();
    return picture;
}

void BM_LzssDecode(benchmark::State& state) {
    const std::vector<uint8_t>& px = Picture();
    std::vector<uint8_t> packed = LzssEncode(px.data(), px.size());
    std::vector<uint8_t> out(px.size());
    for (auto _ : state) {
        LzssDecode(packed.data(), packed.size(), out.data(), out.size(), nullptr);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(px.size()));
    state.counters["stored_bytes"] = static_cast<double>(packed.size());
}
BENCHMARK(BM_LzssDecode)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ZlibInflate(benchmark::State& state) {
    const std::vector<uint8_t>& px = Picture();
    uLongf packedSize = compressBound(px.size());
    std::vector<uint8_t> packed(packedSize);
    compress2(packed.data(), &packedSize, px.data(), px.size(), Z_DEFAULT_COMPRESSION);
    std::vector<uint8_t> out(px.size());
    for (auto _ : state) {
        uLongf outSize = out.size();
        uncompress(out.data(), &outSize, packed.data(), packedSize);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(px.size()));
    state.counters["stored_bytes"] = static_cast<double>(packedSize);
}
BENCHMARK(BM_ZlibInflate)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LzssEncode(benchmark::State& state) {
    const std::vector<uint8_t>& px = Picture();
    for (auto _ : state) benchmark::DoNotOptimize(LzssEncode(px.data(), px.size()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(px.size()));
}
BENCHMARK(BM_LzssEncode)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
