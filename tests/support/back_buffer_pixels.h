#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace test {

// The engine device's back buffer as 0xRRGGBB per pixel, top row first
// (640 x 480), read through LockBackBuffer.
std::vector<uint32_t> ReadEngineBackBuffer();

// Saves such pixels as an 8-bit RGB PNG file; false when it cannot be written.
bool WritePixelsPng(const std::string& path, const std::vector<uint32_t>& pixels, int width, int height);

}  // namespace test
