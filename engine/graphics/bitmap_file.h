#pragma once
// The 24-bit BMP file that textures and screenshots are saved as.
#include <cstdint>
#include <vector>

#include "platform/gpu_device.h"

// Whether PixelToBgr converts the format: A8R8G8B8, X8R8G8B8, R5G6B5,
// X1R5G5B5, A1R5G5B5 and A4R4G4B4.
bool HasBgrConversion(gpu::D3DFORMAT format);

// Blue, green, red of one pixel of such a format, each channel widened to
// 0..255 and any alpha dropped.
void PixelToBgr(gpu::D3DFORMAT format, const uint8_t* pixel, uint8_t* bgr);

// The whole file of width x height locked pixels (top row first, rows
// `pitch` bytes apart): the headers, then the rows bottom-up, each padded to
// a multiple of four bytes as BMP readers expect (no padding at the game's
// width of 640). Empty for a format without a conversion.
std::vector<uint8_t> EncodeBitmap(gpu::D3DFORMAT format, const void* bits, int pitch, int width, int height);
