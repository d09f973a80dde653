// The LZSS decoder on any stream, and the encoder's output decoding back to
// what it was given.
#include <cstring>
#include <vector>

#include "engine/graphics/lzss.h"
#include "fuzz/fuzz_support.h"
#include "platform/little_endian.h"

// The first two bytes are the unpacked size the caller asks for, the rest the
// stream; the whole input is also encoded and decoded again.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const size_t outSize = platform::ReadLe16(data);
    const uint8_t* stream = data + 2;
    const size_t streamSize = size - 2;

    // The exact size: a write past the end is caught.
    std::vector<uint8_t> out(outSize);
    FUZZ_CHECK(LzssDecode(stream, streamSize, out.data(), outSize, nullptr) == (outSize > 0 ? 1 : 0));
    // Nothing beyond what the stream can hold is decoded: the rest stays zero.
    const uint64_t reachable = LzssMaxDecodedSize(streamSize);
    for (size_t i = reachable; i < outSize; ++i) FUZZ_CHECK(out[i] == 0);

    const std::vector<uint8_t> packed = LzssEncode(data, size);
    FUZZ_CHECK(LzssMaxDecodedSize(packed.size()) >= size);
    std::vector<uint8_t> unpacked(size);
    LzssDecode(packed.data(), packed.size(), unpacked.data(), size, nullptr);
    FUZZ_CHECK(std::memcmp(unpacked.data(), data, size) == 0);
    return 0;
}

void WriteFuzzSeeds(fuzz::Seeds& seeds) {
    // Streams from the encoder: repeats near and far, runs, and bytes that
    // do not repeat.
    std::vector<uint8_t> text;
    for (int i = 0; i < 300; ++i) text.push_back(static_cast<uint8_t>("the ring buffer "[i % 16]));
    for (int i = 0; i < 200; ++i) text.push_back(static_cast<uint8_t>(i * 97));
    text.insert(text.end(), 100, 0);
    const std::vector<std::vector<uint8_t>> inputs = {text, {1, 2, 3}, std::vector<uint8_t>(40, 0x55)};
    int n = 0;
    for (const std::vector<uint8_t>& input : inputs) {
        std::vector<uint8_t> seed;
        platform::AppendLe16(seed, static_cast<uint16_t>(input.size()));
        const std::vector<uint8_t> packed = LzssEncode(input.data(), input.size());
        seed.insert(seed.end(), packed.begin(), packed.end());
        seeds.Add("stream" + std::to_string(n++), seed);
    }
}
