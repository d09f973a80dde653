#include "tests/support/back_buffer_pixels.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/graphics/device.h"

namespace test {

std::vector<uint32_t> ReadEngineBackBuffer() {
    void* bits = nullptr;
    int pitch = 0;
    EXPECT_EQ(LockBackBuffer(&bits, &pitch), 1);
    std::vector<uint32_t> pixels(640 * 480);
    if (!bits) return pixels;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            uint32_t p;
            std::memcpy(&p, static_cast<uint8_t*>(bits) + y * pitch + 4 * x, 4);
            pixels[y * 640 + x] = p & 0xFFFFFF;
        }
    }
    UnlockBackBuffer();
    return pixels;
}

bool WritePixelsPng(const std::string& path, const std::vector<uint32_t>& pixels, int width, int height) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    const bool ok = png && info && !setjmp(png_jmpbuf(png));
    if (ok) {
        png_init_io(png, file);
        png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        std::vector<png_byte> row(static_cast<size_t>(width) * 3);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const uint32_t p = pixels[static_cast<size_t>(y) * width + x];
                row[3 * x] = static_cast<png_byte>(p >> 16);
                row[3 * x + 1] = static_cast<png_byte>(p >> 8);
                row[3 * x + 2] = static_cast<png_byte>(p);
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
    }
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    return std::fclose(file) == 0 && ok;
}

bool SaveScreenshot(const std::filesystem::path& folder, const std::string& name,
                    const std::vector<uint32_t>& pixels, bool documented) {
    std::vector<std::filesystem::path> folders{folder};
    const char* wanted = std::getenv("AERIAL_SCREENSHOTS");
    if (documented && wanted && *wanted) folders.emplace_back(wanted);
    bool ok = true;
    for (const auto& f : folders) {
        std::error_code error;
        std::filesystem::create_directories(f, error);
        ok = WritePixelsPng((f / (name + ".png")).string(), pixels, 640, 480) && ok;
    }
    return ok;
}

}  // namespace test
