// Picture files (PNG, JPEG, BMP, TGA) as any file may hold them, and the
// bottom-up device-independent bitmaps of the picture reader.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <png.h>

#include "engine/graphics/image.h"
#include "fuzz/fuzz_support.h"
#include "platform/image_file.h"
#include "platform/little_endian.h"

namespace {

using platform::DecodedImage;

void CheckDecoded(const uint8_t* data, size_t size) {
    DecodedImage image;
    if (!platform::DecodeImage(data, size, &image)) {
        FUZZ_CHECK(image.pixels.empty());
        return;
    }
    FUZZ_CHECK(image.width >= 1 && image.width <= platform::IMAGE_FILE_MAX_SIDE);
    FUZZ_CHECK(image.height >= 1 && image.height <= platform::IMAGE_FILE_MAX_SIDE);
    FUZZ_CHECK(image.pixels.size() == static_cast<size_t>(image.width) * image.height * 4);
}

// A DIB: bytes 0-1 the bit count, 2-3 the width, 4-5 the height (signed
// 16-bit, so that bad sides come up), 6 the palette entries; then the
// palette and the rows.
void CheckDib(const uint8_t* data, size_t size) {
    if (size < 7) return;
    platform::DibInfo info;
    info.bitCount = platform::ReadLe16(data);
    info.width = static_cast<int16_t>(platform::ReadLe16(data + 2));
    info.height = static_cast<int16_t>(platform::ReadLe16(data + 4));
    const size_t paletteBytes = std::min<size_t>(size - 7, data[6] * 4u);
    info.palette = data + 7;
    info.paletteEntries = static_cast<int>(paletteBytes / 4);
    const uint8_t* bits = data + 7 + paletteBytes;
    const size_t bitsSize = size - 7 - paletteBytes;
    Image* image = CreateImage();
    if (image->ConvertDib(info, bits, bitsSize, nullptr)) {
        FUZZ_CHECK(info.width > 0 && info.height > 0);
        FUZZ_CHECK(bitsSize >= platform::DibRowBytes(info) * info.height);
    }
    image->Release();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CheckDecoded(data, size);
    CheckDib(data, size);
    return 0;
}

namespace {

std::vector<uint8_t> Le(uint32_t value, int bytes) {
    std::vector<uint8_t> out;
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    return out;
}

std::vector<uint8_t> Jpeg(int width, int height) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr error{};
    cinfo.err = jpeg_std_error(&error);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
    while (cinfo.next_scanline < cinfo.image_height) {
        for (size_t i = 0; i < row.size(); ++i) row[i] = static_cast<uint8_t>(i * 11 + cinfo.next_scanline * 30);
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::vector<uint8_t> bytes(buffer, buffer + size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return bytes;
}

void Append(std::vector<uint8_t>& to, const std::vector<uint8_t>& bytes) { to.insert(to.end(), bytes.begin(), bytes.end()); }

}  // namespace

void WriteFuzzSeeds(fuzz::Seeds& seeds) {
    // A 4x3 PNG with alpha, written by libpng, and a 16x8 JPEG by libjpeg.
    std::vector<uint8_t> rgba(4 * 3 * 4);
    for (size_t i = 0; i < rgba.size(); ++i) rgba[i] = static_cast<uint8_t>(i * 19);
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = 4;
    png.height = 3;
    png.format = PNG_FORMAT_RGBA;
    png_alloc_size_t pngSize = 0;
    FUZZ_CHECK(png_image_write_to_memory(&png, nullptr, &pngSize, 0, rgba.data(), 0, nullptr));
    std::vector<uint8_t> pngBytes(pngSize);
    FUZZ_CHECK(png_image_write_to_memory(&png, pngBytes.data(), &pngSize, 0, rgba.data(), 0, nullptr));
    seeds.Add("rgba.png", pngBytes);
    seeds.Add("rgb.jpg", Jpeg(16, 8));

    // A 3x2 24-bit BMP and a 2x2 32-bit uncompressed TGA.
    std::vector<uint8_t> bmp = {'B', 'M'};
    const uint32_t rowBytes = 12, bitsAt = 54;
    Append(bmp, Le(bitsAt + rowBytes * 2, 4));
    Append(bmp, Le(0, 4));
    Append(bmp, Le(bitsAt, 4));
    Append(bmp, Le(40, 4));
    Append(bmp, Le(3, 4));
    Append(bmp, Le(2, 4));
    Append(bmp, Le(1, 2));
    Append(bmp, Le(24, 2));
    for (int i = 0; i < 6; ++i) Append(bmp, Le(0, 4));
    for (uint32_t i = 0; i < rowBytes * 2; ++i) bmp.push_back(static_cast<uint8_t>(i * 21));
    seeds.Add("rgb.bmp", bmp);

    std::vector<uint8_t> tga = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    Append(tga, Le(2, 2));
    Append(tga, Le(2, 2));
    tga.push_back(32);
    tga.push_back(8 | 0x20);
    for (int i = 0; i < 16; ++i) tga.push_back(static_cast<uint8_t>(i * 17));
    seeds.Add("bgra.tga", tga);

    // DIBs of 1, 4, 8 and 24 bits, 5x3, with a two-entry palette.
    for (uint16_t bitCount : {1, 4, 8, 24}) {
        std::vector<uint8_t> dib;
        Append(dib, Le(bitCount, 2));
        Append(dib, Le(5, 2));
        Append(dib, Le(3, 2));
        dib.push_back(2);
        Append(dib, {0, 0, 0, 0, 255, 128, 64, 0});
        platform::DibInfo info;
        info.width = 5;
        info.height = 3;
        info.bitCount = bitCount;
        for (size_t i = 0; i < platform::DibRowBytes(info) * 3; ++i) dib.push_back(static_cast<uint8_t>(i * 5));
        seeds.Add("dib" + std::to_string(bitCount), dib);
    }
}
