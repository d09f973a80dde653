#pragma once
#include <string>

namespace test {

// What is wrong with a screenshot file, measured against an uncompressed
// bottom-up 640x480 24-bit BMP; empty when it is one.
std::string ScreenshotFault(const std::string& path);

}  // namespace test
