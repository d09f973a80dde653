#pragma once
#include <cstdint>
#include <vector>

namespace test {

// The engine device's back buffer as 0xRRGGBB per pixel, top row first
// (640 x 480), read through LockBackBuffer.
std::vector<uint32_t> ReadEngineBackBuffer();

}  // namespace test
