#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace test {

// What is wrong with a screenshot file, measured against an uncompressed
// bottom-up 640x480 24-bit BMP; empty when it is one.
std::string ScreenshotFault(const std::string& path);

// The pixels of such a screenshot as 0xRRGGBB, top row first; empty when the
// file is not one.
std::vector<uint32_t> ReadScreenshot(const std::string& path);

}  // namespace test
