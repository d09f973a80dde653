#include "engine/graphics/image.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>

#include "tests/support/temp_dir.h"
#include "platform/little_endian.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes U16s(std::initializer_list<uint16_t> words) {
    Bytes out;
    for (uint16_t w : words) platform::AppendLe16(out, w);
    return out;
}

Bytes Floats(std::initializer_list<float> values) {
    Bytes out(values.size() * 4);
    std::memcpy(out.data(), std::data(values), out.size());
    return out;
}

struct ConvertCase {
    const char* name;
    int from;
    Bytes src;
    int to;
    Bytes expected;
};

class ConvertPixelsTable : public ::testing::TestWithParam<ConvertCase> {};

TEST_P(ConvertPixelsTable, ConvertsOnePixel) {
    const ConvertCase& c = GetParam();
    Bytes out(GetDataSize(1, 1, c.to), 0xCD);
    ConvertPixels(1, 1, c.from, c.src.data(), c.to, out.data(), nullptr);
    EXPECT_EQ(out, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, ConvertPixelsTable,
    ::testing::Values(
        // Channels stay in their places: blue in the top nibble of the word.
        ConvertCase{"Word16ToBytes", IMAGE_PIXEL_16, U16s({0xF00F}), IMAGE_PIXEL_32, {255, 0, 0, 255}},
        ConvertCase{"Word16ToBytesMiddle", IMAGE_PIXEL_16, U16s({0x1234}), IMAGE_PIXEL_32, {17, 34, 51, 68}},
        ConvertCase{"Lzss16CountsAs16", IMAGE_PIXEL_16_LZSS, U16s({0x0F00}), IMAGE_PIXEL_32_LZSS, {0, 255, 0, 0}},
        ConvertCase{"Word64ToBytes", IMAGE_PIXEL_64, U16s({65535, 257, 256, 0}), IMAGE_PIXEL_32, {255, 1, 0, 0}},
        ConvertCase{"BytesToWord16Truncates", IMAGE_PIXEL_32, {255, 128, 16, 17}, IMAGE_PIXEL_16,
                    U16s({0xF701})},
        ConvertCase{"BytesTo64", IMAGE_PIXEL_32, {255, 1, 0, 128}, IMAGE_PIXEL_64, U16s({65535, 257, 0, 32896})},
        ConvertCase{"Word16To64", IMAGE_PIXEL_16, U16s({0xF001}), IMAGE_PIXEL_64, U16s({65535, 0, 0, 4369})},
        ConvertCase{"FloatToBytesTruncates", IMAGE_PIXEL_FLOAT, Floats({0.5f, 1.0f, 0.0f, 0.999f}), IMAGE_PIXEL_32,
                    {127, 255, 0, 254}},
        // Out-of-range and NaN floats are clamped before the conversion.
        ConvertCase{"FloatClamped", IMAGE_PIXEL_FLOAT,
                    Floats({1.5f, -2.0f, std::numeric_limits<float>::quiet_NaN(),
                            std::numeric_limits<float>::infinity()}),
                    IMAGE_PIXEL_32, {255, 0, 0, 255}},
        ConvertCase{"BytesToFloat", IMAGE_PIXEL_32, {255, 0, 51, 1}, IMAGE_PIXEL_FLOAT,
                    Floats({255 * 0.003921569f, 0.0f, 51 * 0.003921569f, 0.003921569f})},
        ConvertCase{"SameFormatCopies", IMAGE_PIXEL_FLOAT, Floats({-1.0f, 2.0f, 0.25f, 0.0f}), IMAGE_PIXEL_FLOAT,
                    Floats({-1.0f, 2.0f, 0.25f, 0.0f})}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Dither, StaysWithinAByteAndFollowsTheMatrices) {
    EXPECT_EQ(Dither5(255, 3, 1), 248 + 3);
    EXPECT_EQ(Dither5(255, 0, 3), 248 + 7);
    EXPECT_EQ(Dither4(255, 2, 3), 241 + 12);
    EXPECT_EQ(Dither4(128, 5, 6), 121 + 10);  // positions wrap every four
    for (int c = 0; c < 256; ++c)
        for (int i = 0; i < 16; ++i) {
            EXPECT_LE(Dither5(c, i % 4, i / 4), 255);
            EXPECT_LE(Dither4(c, i % 4, i / 4), 255);
        }
}

// Images filled from a small archive written for each test.
class ImageTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (Image* image : images) image->Release();
    }

    Image* Load(int width, int height, int format, const Bytes& data) {
        KagWriter w;
        w.Add("pic", width, height, format, data.data());
        EXPECT_TRUE(w.WriteFile(dir.file("a.dat")));
        Image* image = CreateImage();
        images.push_back(image);
        EXPECT_EQ(image->LoadFromArchive(dir.file("a.dat").c_str(), "PIC", nullptr), nullptr);
        return image;
    }

    // A width x 4 picture of one grey value c and alpha a.
    Image* Grey(int width, uint8_t c, uint8_t a) {
        Bytes px;
        for (int i = 0; i < width * 4; ++i) px.insert(px.end(), {c, c, c, a});
        return Load(width, 4, IMAGE_PIXEL_32_LZSS, px);
    }

    test::TempDir dir;
    std::vector<Image*> images;
};

TEST_F(ImageTest, LoadWidensToThirtyTwoBitsWithRowPitch) {
    Image* image = Load(2, 1, IMAGE_PIXEL_16_LZSS, U16s({0xF00F, 0x0F0F}));
    int w = 0, h = 0, pitch = 0;
    uint8_t* px = nullptr;
    image->GetSize(&w, &h);
    image->GetPixels(&px, &pitch);
    EXPECT_EQ(w, 2);
    EXPECT_EQ(h, 1);
    EXPECT_EQ(pitch, 8);
    EXPECT_EQ(Bytes(px, px + 8), (Bytes{255, 0, 0, 255, 0, 255, 0, 255}));
    image->GetSize(nullptr, nullptr);
    image->GetPixels(nullptr, nullptr);
}

TEST_F(ImageTest, LoadLowersOnlyTheKeySoUpperCaseEntriesAreNeverFound) {
    KagWriter w;
    Bytes px = {1, 2, 3, 4};
    w.Add("Big", 1, 1, IMAGE_PIXEL_32, px.data());
    w.Add("small", 1, 1, IMAGE_PIXEL_32, px.data());
    ASSERT_TRUE(w.WriteFile(dir.file("a.dat")));
    Image* image = CreateImage();
    images.push_back(image);
    EXPECT_EQ(image->LoadFromArchive(dir.file("a.dat").c_str(), "SMALL", nullptr), nullptr);
    EXPECT_STREQ(image->LoadFromArchive(dir.file("a.dat").c_str(), "Big", nullptr), "Can't Load KAG File");
    EXPECT_STREQ(image->LoadFromArchive(dir.file("none.dat").c_str(), "small", nullptr), "Can't Load KAG File");
    std::string longKey(400, 'a');
    EXPECT_STREQ(image->LoadFromArchive(dir.file("a.dat").c_str(), longKey.c_str(), nullptr),
                 "Can't Load KAG File");
}

TEST_F(ImageTest, ImagesLiveOnTheImageList) {
    int before = imageList.GetCount();
    Image* image = CreateImage();
    EXPECT_EQ(imageList.GetCount(), before + 1);
    EXPECT_EQ(imageList.tail, image);
    image->Release();
    EXPECT_EQ(imageList.GetCount(), before);
}

struct DitherCase {
    uint8_t c;
    int x, y;
    uint16_t expected;
};

TEST_F(ImageTest, CopyToR5G6B5DithersEachPixelByPosition) {
    const DitherCase cases[] = {
        {255, 0, 0, 0xFFDF}, {255, 1, 0, 0xFFFF}, {255, 0, 1, 0xFFFF}, {255, 3, 3, 0xFFDF},
        {128, 0, 0, 0x7BEF}, {128, 1, 0, 0x8410}, {128, 0, 1, 0x8410}, {128, 3, 3, 0x7BEF},
    };
    for (uint8_t c : {255, 128}) {
        Image* image = Grey(4, c, 255);
        Bytes surface(8 * 4, 0);
        ASSERT_EQ(image->CopyToSurface(surface.data(), 8, IMAGE_SURFACE_R5G6B5, nullptr), 1);
        for (const DitherCase& d : cases) {
            if (d.c != c) continue;
            const uint16_t got = platform::ReadLe16(&surface[d.y * 8 + d.x * 2]);
            EXPECT_EQ(got, d.expected) << "c=" << int(c) << " at " << d.x << "," << d.y;
        }
    }
}

TEST_F(ImageTest, CopyToA1R5G5B5SetsAlphaBitFrom128) {
    for (auto [alpha, bit] : {std::pair{127, 0}, std::pair{128, 0x8000}, std::pair{255, 0x8000}}) {
        Image* image = Grey(1, 0, static_cast<uint8_t>(alpha));
        for (uint32_t format : {IMAGE_SURFACE_A1R5G5B5, IMAGE_SURFACE_X1R5G5B5}) {
            Bytes surface(2 * 4, 0);
            ASSERT_EQ(image->CopyToSurface(surface.data(), 2, format, nullptr), 1);
            EXPECT_EQ(surface[1] & 0x80, bit >> 8) << "alpha " << alpha;
        }
    }
}

TEST_F(ImageTest, CopyToA4R4G4B4KeepsFullChannelsFull) {
    Image* image = Grey(4, 255, 255);
    Bytes surface(8 * 4, 0);
    ASSERT_EQ(image->CopyToSurface(surface.data(), 8, IMAGE_SURFACE_A4R4G4B4, nullptr), 1);
    EXPECT_EQ(surface, Bytes(32, 0xFF));
    image = Grey(1, 0, 0);
    ASSERT_EQ(image->CopyToSurface(surface.data(), 2, IMAGE_SURFACE_X4R4G4B4, nullptr), 1);
    // Dither4 of 0 at (0,1) is 12, still 0 after the cut to four bits.
    EXPECT_EQ(surface[2], 0);
    EXPECT_EQ(surface[3], 0);
}

// Every channel value at every place of the dither matrix, each channel of a
// pixel a different value, against the packing each 16-bit format names.
TEST_F(ImageTest, CopyToSixteenBitsPacksEveryValueAtEveryDitherPlace) {
    constexpr int WIDTH = 1024;  // value x / 4 at dither column x % 4
    auto channels = [](int x) {
        const int c = x / 4;
        return std::array<int, 4>{c, 255 - c, (c * 7) & 255, (c * 13 + 5) & 255};  // B, G, R, A
    };
    Bytes px;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < WIDTH; ++x)
            for (int v : channels(x)) px.push_back(static_cast<uint8_t>(v));
    Image* image = Load(WIDTH, 4, IMAGE_PIXEL_32, px);
    using Packing = uint32_t (*)(std::array<int, 4>, int, int);
    const std::pair<uint32_t, Packing> formats[] = {
        {IMAGE_SURFACE_R5G6B5,
         [](std::array<int, 4> p, int x, int y) -> uint32_t {
             return (Dither5(p[2], x, y) >> 3) << 11 | (Dither5(p[1], x, y) >> 2) << 5 | Dither5(p[0], x, y) >> 3;
         }},
        {IMAGE_SURFACE_A1R5G5B5,
         [](std::array<int, 4> p, int x, int y) -> uint32_t {
             return (p[3] >= 128 ? 0x8000u : 0u) | (Dither5(p[2], x, y) >> 3) << 10 |
                    (Dither5(p[1], x, y) >> 3) << 5 | Dither5(p[0], x, y) >> 3;
         }},
        {IMAGE_SURFACE_A4R4G4B4,
         [](std::array<int, 4> p, int x, int y) -> uint32_t {
             return (Dither4(p[3], x, y) >> 4) << 12 | (Dither4(p[2], x, y) >> 4) << 8 |
                    (Dither4(p[1], x, y) >> 4) << 4 | Dither4(p[0], x, y) >> 4;
         }},
    };
    for (const auto& [format, packing] : formats) {
        Bytes surface(WIDTH * 2 * 4, 0);
        ASSERT_EQ(image->CopyToSurface(surface.data(), WIDTH * 2, format, nullptr), 1);
        int wrong = 0;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < WIDTH; ++x) {
                const uint32_t got = platform::ReadLe16(&surface[(y * WIDTH + x) * 2]);
                if (got != packing(channels(x), x, y) && ++wrong <= 5)
                    ADD_FAILURE() << "format " << format << " at " << x << "," << y << ": " << got;
            }
        EXPECT_EQ(wrong, 0) << "format " << format;
    }
}

TEST_F(ImageTest, CopyHonoursPitchAndLeavesRowPaddingAlone) {
    Bytes px = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    Image* image = Load(2, 2, IMAGE_PIXEL_32, px);
    // A pitch of 11 counts as 8 + ... rounded down to a multiple of 4: 8.
    Bytes surface(24, 0xAA);
    ASSERT_EQ(image->CopyToSurface(surface.data(), 13, IMAGE_SURFACE_X8R8G8B8, nullptr), 1);
    EXPECT_EQ(Bytes(surface.begin(), surface.begin() + 8), Bytes(px.begin(), px.begin() + 8));
    EXPECT_EQ(surface[8], 0xAA);
    EXPECT_EQ(surface[11], 0xAA);
    EXPECT_EQ(Bytes(surface.begin() + 12, surface.begin() + 20), Bytes(px.begin() + 8, px.end()));
    EXPECT_EQ(surface[20], 0xAA);
}

TEST_F(ImageTest, UnsupportedSurfaceFormatsWriteNothing) {
    Image* image = Grey(4, 200, 255);
    for (uint32_t format : {27u, 28u, 29u, 0u, 80u}) {
        Bytes surface(16 * 4, 0x5A);
        EXPECT_EQ(image->CopyToSurface(surface.data(), 16, format, nullptr), 0);
        EXPECT_EQ(surface, Bytes(64, 0x5A));
    }
}

TEST_F(ImageTest, SusieReaderFindsNoPlugIn) {
    Image* image = CreateImage();
    images.push_back(image);
    const char* noPlugin = "SUSIE-Plugin\x82\xAA\x8C\xA9\x82\xC2\x82\xA9\x82\xE8\x82\xDC\x82\xB9\x82\xF1";
    std::ofstream(dir.file("small.bin")) << "tiny";
    std::ofstream(dir.file("big.bin")) << std::string(4096, 'x');
    EXPECT_STRNE(image->LoadSusie(dir.file("none.bin").c_str(), ".", nullptr), noPlugin);
    EXPECT_STRNE(image->LoadSusie(dir.file("small.bin").c_str(), ".", nullptr), noPlugin);
    EXPECT_STREQ(image->LoadSusie(dir.file("big.bin").c_str(), ".", nullptr), noPlugin);
}

struct DibCase {
    const char* name;
    int bitCount;
    int width;
    Bytes rows;  // bottom row first, each padded to four bytes
    Bytes topLeftBgr;
    Bytes bottomRightBgr;
    int pitch;
};

class DibTable : public ImageTest, public ::testing::WithParamInterface<DibCase> {};

TEST_P(DibTable, ConvertsBottomUpRowsToTopDownPixels) {
    const DibCase& c = GetParam();
    // Palette: 0 black, 1 blue, 2 green, 3 red; indices past it are black.
    const Bytes palette = {0, 0, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 0, 0, 255, 0};
    platform::DibInfo info{c.width, 2, c.bitCount, palette.data(), 4};
    Image* image = CreateImage();
    images.push_back(image);
    ASSERT_EQ(image->ConvertDib(info, c.rows.data(), c.rows.size(), nullptr), 1);
    uint8_t* px = nullptr;
    int pitch = 0;
    image->GetPixels(&px, &pitch);
    EXPECT_EQ(pitch, c.pitch);
    EXPECT_EQ(Bytes(px, px + 4), (Bytes{c.topLeftBgr[0], c.topLeftBgr[1], c.topLeftBgr[2], 255}));
    const uint8_t* last = px + pitch + 4 * (c.width - 1);
    EXPECT_EQ(Bytes(last, last + 4), (Bytes{c.bottomRightBgr[0], c.bottomRightBgr[1], c.bottomRightBgr[2], 255}));
}

INSTANTIATE_TEST_SUITE_P(
    Depths, DibTable,
    ::testing::Values(
        // Set bits are white whatever the palette; the first pixel is the top bit.
        DibCase{"OneBit", 1, 9, {0xFF, 0x00, 0, 0, 0x80, 0x80, 0, 0}, {255, 255, 255}, {0, 0, 0}, 64},
        DibCase{"TwoBits", 2, 2, {0x30, 0, 0, 0, 0x80, 0, 0, 0}, {0, 255, 0}, {0, 0, 255}, 32},
        DibCase{"FourBits", 4, 2, {0x0F, 0, 0, 0, 0x30, 0, 0, 0}, {0, 0, 255}, {0, 0, 0}, 32},
        DibCase{"EightBits", 8, 3, {0, 0, 2, 0, 1, 0, 0, 0}, {255, 0, 0}, {0, 255, 0}, 16},
        DibCase{"SixteenBits", 16, 1, {0x1F, 0x00, 0, 0, 0x00, 0x7C, 0, 0}, {0, 0, 255}, {255, 0, 0}, 8},
        DibCase{"TwentyFourBits", 24, 1, {1, 2, 3, 0, 4, 5, 6, 0}, {4, 5, 6}, {1, 2, 3}, 16},
        DibCase{"ThirtyTwoBits", 32, 1, {1, 2, 3, 0, 4, 5, 6, 0}, {4, 5, 6}, {1, 2, 3}, 16}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ImageTest, DibWithTooFewBitsOrBadHeaderIsRefused) {
    Image* image = CreateImage();
    images.push_back(image);
    Bytes rows(8, 0);
    EXPECT_EQ(image->ConvertDib(platform::DibInfo{4, 4, 24}, rows.data(), rows.size(), nullptr), 0);
    EXPECT_EQ(image->ConvertDib(platform::DibInfo{1, 1, 3}, rows.data(), rows.size(), nullptr), 0);
    EXPECT_EQ(image->ConvertDib(platform::DibInfo{0, 1, 8}, rows.data(), rows.size(), nullptr), 0);
    EXPECT_EQ(image->ConvertDib(platform::DibInfo{1, -1, 8}, rows.data(), rows.size(), nullptr), 0);
    // The largest picture with a few bytes of rows, or with no bits a pixel
    // (both refused before its 1 GiB is allocated).
    for (int bitCount : {32, 0, -8}) {
        const platform::DibInfo largest{KAG_MAX_SIDE, KAG_MAX_SIDE, bitCount};
        EXPECT_EQ(image->ConvertDib(largest, rows.data(), rows.size(), nullptr), 0) << bitCount;
    }
    int w = -1;
    image->GetSize(&w, nullptr);
    EXPECT_EQ(w, 0);
}

}  // namespace
