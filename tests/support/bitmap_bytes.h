#pragma once
// The 24-bit BMP files the engine saves, spelled out field by field, and the
// pixels of each format it saves with the blue, green, red the file holds
// for them.
#include <array>
#include <cstdint>
#include <vector>

#include "platform/gpu_device.h"

namespace test {

using Bgr = std::array<uint8_t, 3>;

struct BitmapFormatCase {
    const char* name;
    gpu::D3DFORMAT format;
    std::vector<uint32_t> pixels;  // six raw pixels, low bytes first in memory
    std::vector<Bgr> bgr;          // what the file holds for each
};

// Every format a texture saves as a bitmap: 32-bit, and the 16-bit formats
// with their channels widened to 0..255 and any alpha dropped.
const std::vector<BitmapFormatCase>& BitmapFormatCases();

// The whole file of a width x height picture whose pixels are given top row
// first: the file and info headers, then the rows bottom-up, each padded
// with zeros to a multiple of four bytes.
std::vector<uint8_t> ExpectedBitmapFile(int width, int height, const std::vector<Bgr>& topDown);

// Writes the case's pixels into locked memory of `bytes` bytes a pixel,
// `width` pixels a row, rows `pitch` bytes apart.
void WritePixels(const BitmapFormatCase& c, void* bits, int pitch, int width, int bytes);

}  // namespace test
