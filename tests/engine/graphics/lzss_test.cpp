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
