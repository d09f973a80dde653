#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/core/resource.h"

// LZSS as the image archives store it: a 4096-byte ring that starts zero-filled
// with the write position at 4080, one flag byte per eight items (least
// significant bit first, 1 = literal), and matches of two bytes holding a
// 12-bit ring position and a length of 3 to 18.

inline constexpr int LZSS_RING_SIZE = 4096;
inline constexpr int LZSS_RING_START = 4080;
inline constexpr int LZSS_MIN_MATCH = 3;
inline constexpr int LZSS_MAX_MATCH = 18;

// Decodes src into dst until outSize bytes are produced; that count alone ends
// decoding, even in the middle of a match. A source that runs out first stops
// the decoding and leaves the rest of dst zero. Returns 1 when done, 0 when
// outSize is 0.
int LzssDecode(const uint8_t* src, size_t srcSize, uint8_t* dst, size_t outSize,
               ProgressCallback progress);

// The most bytes that a stream of srcSize bytes can decode to (every flag
// byte followed by eight longest matches); a larger unpacked size cannot be
// what the stream holds.
uint64_t LzssMaxDecodedSize(uint64_t srcSize);

// Encodes data into a stream that LzssDecode turns back into the same bytes.
std::vector<uint8_t> LzssEncode(const uint8_t* data, size_t size);
