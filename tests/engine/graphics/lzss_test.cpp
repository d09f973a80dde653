#include "engine/graphics/lzss.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// A match item: 12-bit ring position and a length of 3 to 18.
Bytes Match(int position, int length) {
    return {static_cast<uint8_t>(position & 0xFF),
            static_cast<uint8_t>(((position >> 4) & 0xF0) | (length - 3))};
}

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

Bytes Decode(const Bytes& src, size_t outSize) {
    Bytes out(outSize, 0xEE);
    LzssDecode(src.data(), src.size(), out.data(), out.size(), nullptr);
    return out;
}

struct DecodeCase {
    const char* name;
    Bytes stream;
    size_t outSize;
    Bytes expected;
};

class LzssDecodeTable : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(LzssDecodeTable, ProducesExpectedBytes) {
    const DecodeCase& c = GetParam();
    EXPECT_EQ(Decode(c.stream, c.outSize), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Streams, LzssDecodeTable,
    ::testing::Values(
        // Flags are read least significant bit first; 1 is a literal.
        DecodeCase{"LiteralsOnly", {0xFF, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 0x01, 'i'}, 9,
                   {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i'}},
        // The ring starts as zeros (not spaces), wherever the match points.
        DecodeCase{"MatchReadsZeroedRing", Cat({{0x02}, Match(100, 4), {'z'}}), 5, {0, 0, 0, 0, 'z'}},
        // The first byte goes to 4080, and a match overlapping the write
        // position repeats what it has just produced.
        DecodeCase{"OverlappingMatchAtStart", Cat({{0x03, 'x', 'y'}, Match(4080, 7)}), 9,
                   {'x', 'y', 'x', 'y', 'x', 'y', 'x', 'y', 'x'}},
        // The output count ends decoding in the middle of a match.
        DecodeCase{"EndInMidMatch", Cat({{0x01, 'q'}, Match(4080, 18), Match(4080, 18)}), 5,
                   {'q', 'q', 'q', 'q', 'q'}},
        // A literal that produces the last byte ends decoding with flag bits left.
        DecodeCase{"EndOnLiteral", {0xFF, 'a', 'b', 'c'}, 2, {'a', 'b'}},
        // A source that runs out stops decoding; the rest stays zero.
        DecodeCase{"TruncatedLiterals", {0xFF, 'a', 'b'}, 6, {'a', 'b', 0, 0, 0, 0}},
        DecodeCase{"TruncatedInsideMatchItem", Cat({{0x01, 'a'}, {0x10}}), 4, {'a', 0, 0, 0}},
        DecodeCase{"EmptySource", {}, 3, {0, 0, 0}},
        // A match may reach round the end of the ring.
        DecodeCase{"MatchWrapsRing", Cat({{0x00}, Match(4094, 4)}), 4, {0, 0, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LzssDecode, ZeroOutputSizeReturnsZeroAndDoesNothing) {
    Bytes src = {0xFF, 'a'};
    uint8_t out = 0x55;
    EXPECT_EQ(LzssDecode(src.data(), src.size(), &out, 0, nullptr), 0);
    EXPECT_EQ(out, 0x55);
    EXPECT_EQ(LzssDecode(src.data(), src.size(), &out, 1, nullptr), 1);
    EXPECT_EQ(out, 'a');
}

TEST(LzssDecode, ReportsProgressEvery65536MatchBytes) {
    static int calls;
    calls = 0;
    // One flag byte of eight matches, repeated: 18 zero bytes per match.
    Bytes src;
    for (int g = 0; g < 1000; ++g) {
        src.push_back(0x00);
        for (int m = 0; m < 8; ++m) {
            Bytes match = Match(0, 18);
            src.insert(src.end(), match.begin(), match.end());
        }
    }
    Bytes out(8 * 18 * 1000);
    LzssDecode(src.data(), src.size(), out.data(), out.size(), [](int) { ++calls; });
    // Once at the start, once per item, once per 65536 bytes.
    EXPECT_EQ(calls, 1 + 8000 + static_cast<int>(out.size() / 65536));
}

// The decoder as the format describes it: a ring of 4096 zero bytes written
// from 4080, every output byte also stored in the ring.
Bytes RingDecode(const Bytes& src, size_t outSize) {
    Bytes ring(4096, 0), out;
    size_t r = 4080, in = 0;
    while (out.size() < outSize && in < src.size()) {
        const unsigned flags = src[in++];
        for (int bit = 0; bit < 8 && out.size() < outSize; ++bit) {
            if (flags >> bit & 1) {
                if (in >= src.size()) return out.resize(outSize), out;
                out.push_back(src[in++]);
                ring[r] = out.back();
                r = (r + 1) % 4096;
                continue;
            }
            if (in + 2 > src.size()) return out.resize(outSize), out;
            const size_t p = src[in] | (src[in + 1] & 0xF0) << 4, n = (src[in + 1] & 0x0F) + 3u;
            in += 2;
            for (size_t k = 0; k < n && out.size() < outSize; ++k) {
                out.push_back(ring[(p + k) % 4096]);
                ring[r] = out.back();
                r = (r + 1) % 4096;
            }
        }
    }
    out.resize(outSize);
    return out;
}

// Streams of every kind of item: literals, matches into the untouched zero
// ring, matches overlapping the write position at each short distance, far
// matches, matches wrapping round the ring, and an output that ends anywhere.
TEST(LzssDecode, DecodesRandomStreamsAsTheRingDoes) {
    std::mt19937 rng(11);
    for (int round = 0; round < 300; ++round) {
        Bytes src;
        size_t produced = 0;
        const size_t target = 1 + rng() % 12000;
        while (produced < target) {
            uint8_t flags = static_cast<uint8_t>(rng());
            src.push_back(flags);
            for (int bit = 0; bit < 8; ++bit) {
                if (flags >> bit & 1) {
                    src.push_back(static_cast<uint8_t>(rng() % 4 == 0 ? 0 : rng()));
                    ++produced;
                    continue;
                }
                const int length = 3 + static_cast<int>(rng() % 16);
                const int write = static_cast<int>((4080 + produced) % 4096);
                // Mostly just behind the write position (distances 1 to 40),
                // else anywhere in the ring.
                const int position = rng() % 3 ? (write - 1 - static_cast<int>(rng() % 40)) & 4095
                                               : static_cast<int>(rng() % 4096);
                const Bytes match = Match(position, length);
                src.insert(src.end(), match.begin(), match.end());
                produced += length;
            }
        }
        // Now and then cut the stream short, or ask for fewer bytes.
        if (round % 7 == 0) src.resize(src.size() - rng() % std::min<size_t>(src.size(), 20));
        const size_t outSize = round % 5 == 0 ? 1 + rng() % produced : produced;
        ASSERT_EQ(Decode(src, outSize), RingDecode(src, outSize)) << "round " << round;
    }
}

Bytes Pattern(const char* kind, size_t size) {
    Bytes data(size);
    std::mt19937 rng(7);
    std::string k = kind;
    for (size_t i = 0; i < size; ++i) {
        if (k == "random") data[i] = static_cast<uint8_t>(rng());
        else if (k == "zeros") data[i] = 0;
        else if (k == "pixels") data[i] = static_cast<uint8_t>((i / 4 / 37) * 11 + (i % 4) * 60);
        else data[i] = i < 3000 ? 0 : static_cast<uint8_t>(rng() % 4);  // "mixed"
    }
    return data;
}

class LzssRoundTrip : public ::testing::TestWithParam<std::pair<const char*, size_t>> {};

TEST_P(LzssRoundTrip, DecodesToTheEncodedBytes) {
    auto [kind, size] = GetParam();
    Bytes data = Pattern(kind, size);
    Bytes packed = LzssEncode(data.data(), data.size());
    EXPECT_EQ(Decode(packed, data.size()), data);
    EXPECT_LE(data.size(), LzssMaxDecodedSize(packed.size()));
}

INSTANTIATE_TEST_SUITE_P(Data, LzssRoundTrip,
                         ::testing::Values(std::pair{"random", size_t{1}}, std::pair{"random", size_t{20000}},
                                           std::pair{"zeros", size_t{100000}}, std::pair{"pixels", size_t{300000}},
                                           std::pair{"mixed", size_t{50000}}),
                         [](const auto& info) {
                             return std::string(info.param.first) + std::to_string(info.param.second);
                         });

TEST(LzssEncode, CompressesFlatPicturesNearTheFormatLimit) {
    Bytes data = Pattern("zeros", 1 << 20);
    Bytes packed = LzssEncode(data.data(), data.size());
    // Eight 18-byte matches per 17 stream bytes is the best the format allows.
    EXPECT_LT(packed.size(), data.size() / 8);
}

}  // namespace
