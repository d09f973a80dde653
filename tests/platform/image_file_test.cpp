#include "platform/image_file.h"

#include <cstddef>
#include <cstdio>
#include <jpeglib.h>
#include <png.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "platform/little_endian.h"
#include "tests/support/temp_dir.h"

namespace {

using platform::DecodedImage;
using Bytes = std::vector<uint8_t>;

using platform::AppendLe16;
using platform::AppendLe32;

// A BMP file: headers, palette and the given rows as stored.
Bytes Bmp(int32_t width, int32_t height, int bitCount, const Bytes& palette, const Bytes& rows) {
    Bytes b = {'B', 'M'};
    AppendLe32(b, static_cast<uint32_t>(54 + palette.size() + rows.size()));
    AppendLe32(b, 0);
    AppendLe32(b, static_cast<uint32_t>(54 + palette.size()));
    AppendLe32(b, 40);
    AppendLe32(b, static_cast<uint32_t>(width));
    AppendLe32(b, static_cast<uint32_t>(height));
    AppendLe16(b, 1);
    AppendLe16(b, static_cast<uint16_t>(bitCount));
    for (int i = 0; i < 4; ++i) AppendLe32(b, 0);
    AppendLe32(b, static_cast<uint32_t>(palette.size() / 4));
    AppendLe32(b, 0);
    b.insert(b.end(), palette.begin(), palette.end());
    b.insert(b.end(), rows.begin(), rows.end());
    return b;
}

Bytes Tga(int type, int width, int height, int depth, int descriptor, const Bytes& body, const Bytes& map = {},
          int mapDepth = 0) {
    Bytes b = {0, static_cast<uint8_t>(map.empty() ? 0 : 1), static_cast<uint8_t>(type)};
    AppendLe16(b, 0);
    AppendLe16(b, map.empty() ? 0 : static_cast<uint32_t>(map.size() / (mapDepth / 8)));
    b.push_back(static_cast<uint8_t>(mapDepth));
    AppendLe32(b, 0);
    AppendLe16(b, static_cast<uint16_t>(width));
    AppendLe16(b, static_cast<uint16_t>(height));
    b.push_back(static_cast<uint8_t>(depth));
    b.push_back(static_cast<uint8_t>(descriptor));
    b.insert(b.end(), map.begin(), map.end());
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

Bytes Png(int width, int height, const Bytes& bgra) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = PNG_FORMAT_BGRA;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, bgra.data(), 0, nullptr);
    Bytes out(size);
    EXPECT_TRUE(png_image_write_to_memory(&image, out.data(), &size, 0, bgra.data(), 0, nullptr));
    out.resize(size);
    return out;
}

Bytes SolidJpeg(int width, int height, uint8_t r, uint8_t g, uint8_t b) {
    jpeg_compress_struct info{};
    jpeg_error_mgr error{};
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = width;
    info.image_height = height;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    Bytes row;
    for (int x = 0; x < width; ++x) row.insert(row.end(), {r, g, b});
    while (info.next_scanline < info.image_height) {
        JSAMPROW p = row.data();
        jpeg_write_scanlines(&info, &p, 1);
    }
    jpeg_finish_compress(&info);
    Bytes out(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}

struct DecodeCase {
    const char* name;
    Bytes file;
    int width, height;
    Bytes pixels;  // B, G, R, A, top-down
};

class DecodeTable : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeTable, DecodesToTopDownBgra) {
    const DecodeCase& c = GetParam();
    DecodedImage image;
    ASSERT_TRUE(platform::DecodeImage(c.file.data(), c.file.size(), &image));
    EXPECT_EQ(image.width, c.width);
    EXPECT_EQ(image.height, c.height);
    EXPECT_EQ(image.pixels, c.pixels);
}

const Bytes kPalette = {10, 20, 30, 0, 40, 50, 60, 0};

INSTANTIATE_TEST_SUITE_P(
    Formats, DecodeTable,
    ::testing::Values(
        DecodeCase{"Png", Png(2, 1, {1, 2, 3, 4, 5, 6, 7, 255}), 2, 1, {1, 2, 3, 4, 5, 6, 7, 255}},
        // Bottom row first, rows padded to four bytes.
        DecodeCase{"Bmp24", Bmp(1, 2, 24, {}, {1, 2, 3, 0, 4, 5, 6, 0}), 1, 2, {4, 5, 6, 255, 1, 2, 3, 255}},
        DecodeCase{"Bmp24TopDown", Bmp(1, -2, 24, {}, {1, 2, 3, 0, 4, 5, 6, 0}), 1, 2, {1, 2, 3, 255, 4, 5, 6, 255}},
        DecodeCase{"Bmp32", Bmp(1, 1, 32, {}, {1, 2, 3, 0}), 1, 1, {1, 2, 3, 255}},
        DecodeCase{"Bmp8Palette", Bmp(2, 1, 8, kPalette, {1, 0, 0, 0}), 2, 1, {40, 50, 60, 255, 10, 20, 30, 255}},
        DecodeCase{"Bmp1Palette", Bmp(2, 1, 1, kPalette, {0x40, 0, 0, 0}), 2, 1, {10, 20, 30, 255, 40, 50, 60, 255}},
        DecodeCase{"Bmp8IndexPastPalette", Bmp(1, 1, 8, kPalette, {9, 0, 0, 0}), 1, 1, {0, 0, 0, 255}},
        // Bottom-left origin unless descriptor bit 5 is set.
        DecodeCase{"Tga24BottomUp", Tga(2, 1, 2, 24, 0, {1, 2, 3, 4, 5, 6}), 1, 2, {4, 5, 6, 255, 1, 2, 3, 255}},
        DecodeCase{"Tga32TopDownAlpha", Tga(2, 2, 1, 32, 0x28, {1, 2, 3, 4, 5, 6, 7, 8}), 2, 1,
                   {1, 2, 3, 4, 5, 6, 7, 8}},
        DecodeCase{"Tga32RightToLeft", Tga(2, 2, 1, 32, 0x38, {1, 2, 3, 4, 5, 6, 7, 8}), 2, 1,
                   {5, 6, 7, 8, 1, 2, 3, 4}},
        DecodeCase{"TgaGrey", Tga(3, 1, 1, 8, 0x20, {77}), 1, 1, {77, 77, 77, 255}},
        DecodeCase{"TgaRle", Tga(10, 3, 1, 24, 0x20, {0x81, 1, 2, 3, 0x00, 9, 8, 7}), 3, 1,
                   {1, 2, 3, 255, 1, 2, 3, 255, 9, 8, 7, 255}},
        DecodeCase{"TgaColourMapped", Tga(1, 2, 1, 8, 0x20, {1, 0}, {1, 2, 3, 4, 5, 6}, 24), 2, 1,
                   {4, 5, 6, 255, 1, 2, 3, 255}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DecodeImage, JpegComesOutNearItsColourAndOpaque) {
    Bytes file = SolidJpeg(16, 8, 200, 100, 50);
    DecodedImage image;
    ASSERT_TRUE(platform::DecodeImage(file.data(), file.size(), &image));
    ASSERT_EQ(image.width, 16);
    ASSERT_EQ(image.height, 8);
    for (size_t i = 0; i < image.pixels.size(); i += 4) {
        EXPECT_NEAR(image.pixels[i], 50, 4);
        EXPECT_NEAR(image.pixels[i + 1], 100, 4);
        EXPECT_NEAR(image.pixels[i + 2], 200, 4);
        EXPECT_EQ(image.pixels[i + 3], 255);
    }
}

// Damaged or hostile files are refused without reading out of bounds.
class DamagedFile : public ::testing::TestWithParam<std::pair<const char*, Bytes>> {};

TEST_P(DamagedFile, IsRefused) {
    const Bytes& file = GetParam().second;
    DecodedImage image;
    image.width = 5;
    EXPECT_FALSE(platform::DecodeImage(file.data(), file.size(), &image));
    EXPECT_EQ(image.width, 0);
    EXPECT_TRUE(image.pixels.empty());
}

Bytes Cut(Bytes b, size_t keep) {
    b.resize(keep);
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedFile,
    ::testing::Values(
        std::pair{"Empty", Bytes{}},
        std::pair{"Garbage", Bytes(40, 0x77)},
        std::pair{"PngTruncated", Cut(Png(8, 8, Bytes(256, 9)), 40)},
        std::pair{"JpegTruncated", Cut(SolidJpeg(16, 16, 1, 2, 3), 200)},
        std::pair{"BmpRowsMissing", Bmp(4, 4, 24, {}, Bytes(20, 0))},
        std::pair{"BmpHugeWidth", Bmp(100000, 1, 24, {}, Bytes(16, 0))},
        std::pair{"BmpZeroHeight", Bmp(1, 0, 24, {}, Bytes(4, 0))},
        std::pair{"BmpMostNegativeHeight", Bmp(1, INT32_MIN, 24, {}, Bytes(4, 0))},
        std::pair{"BmpCompressed", [] {
                      Bytes b = Bmp(1, 1, 8, kPalette, {0, 0, 0, 0});
                      b[30] = 1;  // RLE8
                      return b;
                  }()},
        std::pair{"BmpBitsOffsetPastEnd", [] {
                      Bytes b = Bmp(1, 1, 24, {}, {0, 0, 0, 0});
                      b[10] = 0xFF;
                      b[11] = 0xFF;
                      return b;
                  }()},
        std::pair{"TgaPixelsMissing", Tga(2, 4, 4, 24, 0, Bytes(10, 0))},
        std::pair{"TgaRleRunsOffEnd", Tga(10, 4, 4, 32, 0, {0x83, 1, 2, 3, 4, 0x05})},
        std::pair{"TgaMapIndexPastMap", Tga(1, 1, 1, 8, 0, {7}, {1, 2, 3}, 24)},
        std::pair{"TgaZeroWidth", Tga(2, 0, 4, 24, 0, Bytes(10, 0))},
        std::pair{"TgaUnknownType", Tga(5, 1, 1, 24, 0, Bytes(3, 0))},
        // Three bytes a pixel that no TGA depth names, ending with the file.
        std::pair{"TgaDepthBetweenKnownOnes", Tga(2, 1, 1, 20, 0, Bytes(3, 0))},
        // The largest sides over a few bytes (refused before 1 GiB is allocated).
        std::pair{"TgaLargestOverAFewBytes", Tga(2, 16384, 16384, 24, 0, Bytes(30, 0))},
        std::pair{"TgaRleLargestOverAFewPackets", Tga(3 | 8, 16384, 16384, 8, 0, Bytes(30, 0xFF))},
        std::pair{"BmpLargestOverAFewBytes", Bmp(16384, 16384, 8, kPalette, Bytes(30, 0))},
        std::pair{"BmpUnknownBitCount", Bmp(16384, 16384, 0, {}, {})}),
    [](const auto& info) { return std::string(info.param.first); });

TEST(LoadImageFile, ColourKeyTurnsMatchingPixelsTransparentBlack) {
    test::TempDir dir;
    Bytes png = Png(2, 1, {0, 0, 255, 255, 0, 0, 254, 255});
    std::ofstream(dir.file("a.png"), std::ios::binary).write(reinterpret_cast<const char*>(png.data()), png.size());
    DecodedImage image;
    ASSERT_TRUE(platform::LoadImageFile(dir.file("a.png"), 0xFFFF0000, &image));
    EXPECT_EQ(image.pixels, (Bytes{0, 0, 0, 0, 0, 0, 254, 255}));
    ASSERT_TRUE(platform::LoadImageFile(dir.file("a.png"), 0, &image));
    EXPECT_EQ(image.pixels[2], 255);
    EXPECT_FALSE(platform::LoadImageFile(dir.file("none.png"), 0, &image));
    EXPECT_TRUE(image.pixels.empty());
}

}  // namespace
