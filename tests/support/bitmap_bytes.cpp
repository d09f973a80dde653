#include "tests/support/bitmap_bytes.h"

#include <cstring>

#include "platform/little_endian.h"

namespace test {

const std::vector<BitmapFormatCase>& BitmapFormatCases() {
    using namespace gpu;
    static const std::vector<BitmapFormatCase> cases = {
        {"A8R8G8B8",
         D3DFMT_A8R8G8B8,
         {0xFF102030, 0x00ABCDEF, 0x80010203, 0xFFFFFFFF, 0x00000000, 0x7F7E7D7C},
         {{0x30, 0x20, 0x10}, {0xEF, 0xCD, 0xAB}, {3, 2, 1}, {255, 255, 255}, {0, 0, 0}, {0x7C, 0x7D, 0x7E}}},
        {"X8R8G8B8",
         D3DFMT_X8R8G8B8,
         {0x00102030, 0xFFABCDEF, 0x00010203, 0x00FFFFFF, 0xFF000000, 0x007E7D7C},
         {{0x30, 0x20, 0x10}, {0xEF, 0xCD, 0xAB}, {3, 2, 1}, {255, 255, 255}, {0, 0, 0}, {0x7C, 0x7D, 0x7E}}},
        {"R5G6B5",
         D3DFMT_R5G6B5,
         {0xF800, 0x07E0, 0x001F, 0xFFFF, 0x0000, 0x8410},
         {{0, 0, 255}, {0, 255, 0}, {255, 0, 0}, {255, 255, 255}, {0, 0, 0}, {131, 129, 131}}},
        {"X1R5G5B5",
         D3DFMT_X1R5G5B5,
         {0x7C00, 0x03E0, 0x001F, 0xFFFF, 0x8000, 0x4210},
         {{0, 0, 255}, {0, 255, 0}, {255, 0, 0}, {255, 255, 255}, {0, 0, 0}, {131, 131, 131}}},
        {"A1R5G5B5",
         D3DFMT_A1R5G5B5,
         {0x7C00, 0x83E0, 0x001F, 0xFFFF, 0x8000, 0x4210},
         {{0, 0, 255}, {0, 255, 0}, {255, 0, 0}, {255, 255, 255}, {0, 0, 0}, {131, 131, 131}}},
        {"A4R4G4B4",
         D3DFMT_A4R4G4B4,
         {0x0F00, 0x00F0, 0xF00F, 0xFFFF, 0xF000, 0x0888},
         {{0, 0, 255}, {0, 255, 0}, {255, 0, 0}, {255, 255, 255}, {0, 0, 0}, {136, 136, 136}}},
    };
    return cases;
}

std::vector<uint8_t> ExpectedBitmapFile(int width, int height, const std::vector<Bgr>& topDown) {
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    std::vector<uint8_t> file = {'B', 'M'};
    platform::AppendLe32(file, static_cast<uint32_t>(54 + rowBytes * height));  // file size
    platform::AppendLe32(file, 0);                                              // reserved
    platform::AppendLe32(file, 54);                                             // offset of the pixels
    platform::AppendLe32(file, 40);                                             // info header size
    platform::AppendLe32(file, static_cast<uint32_t>(width));
    platform::AppendLe32(file, static_cast<uint32_t>(height));
    platform::AppendLe16(file, 1);   // planes
    platform::AppendLe16(file, 24);  // bits a pixel
    file.resize(54, 0);              // no compression, sizes and colour counts left 0
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const Bgr& p = topDown[static_cast<size_t>(y * width + x)];
            file.insert(file.end(), p.begin(), p.end());
        }
        file.resize(file.size() + static_cast<size_t>(rowBytes - width * 3), 0);
    }
    return file;
}

void WritePixels(const BitmapFormatCase& c, void* bits, int pitch, int width, int bytes) {
    for (size_t i = 0; i < c.pixels.size(); ++i) {
        uint8_t* at = static_cast<uint8_t*>(bits) + static_cast<int>(i) / width * pitch + static_cast<int>(i) % width * bytes;
        uint8_t raw[4];
        platform::WriteLe32(raw, c.pixels[i]);
        std::memcpy(at, raw, static_cast<size_t>(bytes));
    }
}

}  // namespace test
