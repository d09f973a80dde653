#include "tests/support/screenshot_check.h"

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace test {

std::string ScreenshotFault(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    unsigned char head[54];
    if (!file.read(reinterpret_cast<char*>(head), sizeof head)) return "no BMP header";
    int32_t width, height;
    uint16_t bitCount;
    uint32_t compression;
    std::memcpy(&width, head + 18, 4);
    std::memcpy(&height, head + 22, 4);
    std::memcpy(&bitCount, head + 28, 2);
    std::memcpy(&compression, head + 30, 4);
    if (head[0] != 'B' || head[1] != 'M') return "not a BMP";
    if (width != 640 || height != 480) return "size " + std::to_string(width) + "x" + std::to_string(height);
    if (bitCount != 24 || compression != 0) return std::to_string(bitCount) + " bits, compression " +
                                                   std::to_string(compression);
    std::error_code error;
    if (std::filesystem::file_size(path, error) != 54u + 640u * 480u * 3u) return "wrong file size";
    return "";
}

std::vector<uint32_t> ReadScreenshot(const std::string& path) {
    constexpr int kWidth = 640, kHeight = 480;
    if (!ScreenshotFault(path).empty()) return {};
    std::ifstream file(path, std::ios::binary);
    std::vector<unsigned char> bytes(54 + kWidth * kHeight * 3);
    if (!file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) return {};
    std::vector<uint32_t> pixels(kWidth * kHeight);
    for (int y = 0; y < kHeight; ++y) {
        const unsigned char* row = bytes.data() + 54 + (kHeight - 1 - y) * kWidth * 3;  // bottom row first
        for (int x = 0; x < kWidth; ++x) {
            const unsigned char* bgr = row + x * 3;
            pixels[y * kWidth + x] = uint32_t{bgr[2]} << 16 | uint32_t{bgr[1]} << 8 | bgr[0];
        }
    }
    return pixels;
}

}  // namespace test
