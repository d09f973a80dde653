#include "tests/support/back_buffer_pixels.h"

#include <gtest/gtest.h>

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

}  // namespace test
