#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace test {

// The engine device's back buffer as 0xRRGGBB per pixel, top row first
// (640 x 480), read through LockBackBuffer.
std::vector<uint32_t> ReadEngineBackBuffer();

// Saves such pixels as an 8-bit RGB PNG file; false when it cannot be written.
bool WritePixelsPng(const std::string& path, const std::vector<uint32_t>& pixels, int width, int height);

// Saves a 640 x 480 picture as `name`.png in `folder` (made when missing) and,
// when it is one of the documentation's pictures, also in the folder that
// AERIAL_SCREENSHOTS names (scripts/screenshots.sh writes docs/screenshots
// this way); a failure to write is a test failure.
void SaveScreenPicture(const std::filesystem::path& folder, const std::string& name,
                       const std::vector<uint32_t>& pixels, bool documented);

}  // namespace test
