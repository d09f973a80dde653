#include "engine/graphics/bitmap_file.h"

#include <cstring>

#include "platform/little_endian.h"

using namespace gpu;

namespace {

constexpr uint32_t kHeadersSize = 54;  // file header and info header

}  // namespace

bool HasBgrConversion(D3DFORMAT format) {
    switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_A4R4G4B4: return true;
    default: return false;
    }
}

void PixelToBgr(D3DFORMAT format, const uint8_t* p, uint8_t* out) {
    const uint32_t w = platform::ReadLe16(p);
    switch (format) {
    case D3DFMT_R5G6B5:
        out[0] = (w & 31) * 255 / 31, out[1] = ((w >> 5) & 63) * 255 / 63, out[2] = (w >> 11) * 255 / 31;
        break;
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
        out[0] = (w & 31) * 255 / 31, out[1] = ((w >> 5) & 31) * 255 / 31, out[2] = ((w >> 10) & 31) * 255 / 31;
        break;
    case D3DFMT_A4R4G4B4:
        out[0] = (w & 15) * 255 / 15, out[1] = ((w >> 4) & 15) * 255 / 15, out[2] = ((w >> 8) & 15) * 255 / 15;
        break;
    default:  // A8R8G8B8, X8R8G8B8
        std::memcpy(out, p, 3);
        break;
    }
}

std::vector<uint8_t> EncodeBitmap(D3DFORMAT format, const void* bits, int pitch, int width, int height) {
    if (!HasBgrConversion(format)) return {};
    const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    std::vector<uint8_t> file(kHeadersSize + static_cast<size_t>(rowBytes) * height, 0);
    uint8_t* h = file.data();
    h[0] = 'B', h[1] = 'M';
    platform::WriteLe32(h + 2, static_cast<uint32_t>(file.size()));
    platform::WriteLe32(h + 10, kHeadersSize);
    platform::WriteLe32(h + 14, 40);  // info header size
    platform::WriteLe32(h + 18, static_cast<uint32_t>(width));
    platform::WriteLe32(h + 22, static_cast<uint32_t>(height));
    platform::WriteLe16(h + 26, 1);   // planes
    platform::WriteLe16(h + 28, 24);  // bits a pixel
    const int bytes = format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8 ? 4 : 2;
    for (int y = 0; y < height; ++y) {
        const auto* row = static_cast<const uint8_t*>(bits) + static_cast<size_t>(height - 1 - y) * pitch;
        uint8_t* out = h + kHeadersSize + static_cast<size_t>(y) * rowBytes;
        for (int x = 0; x < width; ++x) PixelToBgr(format, row + x * bytes, out + 3 * x);
    }
    return file;
}
