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

// Saves a 640x480 picture as `name`.png in `folder` and, when it belongs to
// the documentation's set, also in the folder that AERIAL_SCREENSHOTS names
// (scripts/screenshots.sh points it at docs/screenshots); folders are made
// when missing. False when a file cannot be written.
bool SaveScreenshot(const std::filesystem::path& folder, const std::string& name,
                    const std::vector<uint32_t>& pixels, bool documented);

}  // namespace test
