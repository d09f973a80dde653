// Back-buffer pixels: the BMP screenshot and rectangle copies between locked
// surfaces.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/graphics/device.h"
#include "platform/paths.h"
#include "platform/safe_file.h"

using namespace gpu;

namespace {

void PutU16(uint8_t* p, uint32_t v) {
    p[0] = v & 0xFF;
    p[1] = (v >> 8) & 0xFF;
}

void PutU32(uint8_t* p, uint32_t v) {
    PutU16(p, v & 0xFFFF);
    PutU16(p + 2, v >> 16);
}

// One back-buffer row as blue, green, red bytes; false for a format without
// a conversion.
bool ConvertRow(D3DFORMAT format, const uint8_t* source, int width, uint8_t* out) {
    for (int x = 0; x < width; ++x, out += 3) {
        switch (format) {
        case D3DFMT_A8R8G8B8:
        case D3DFMT_X8R8G8B8:
            std::memcpy(out, source + 4 * x, 3);
            break;
        case D3DFMT_R5G6B5: {
            const uint32_t p = source[2 * x] | source[2 * x + 1] << 8;
            out[0] = (p & 0x1F) * 255 / 31;
            out[1] = ((p >> 5) & 0x3F) * 255 / 63;
            out[2] = (p >> 11) * 255 / 31;
            break;
        }
        case D3DFMT_X1R5G5B5: {
            const uint32_t p = source[2 * x] | source[2 * x + 1] << 8;
            out[0] = (p & 0x1F) * 255 / 31;
            out[1] = ((p >> 5) & 0x1F) * 255 / 31;
            out[2] = ((p >> 10) & 0x1F) * 255 / 31;
            break;
        }
        default:
            return false;
        }
    }
    return true;
}

}  // namespace

void SaveScreenshot(const char* path) {
    void* bits = nullptr;
    int pitch = 0;
    if (!LockBackBuffer(&bits, &pitch)) return;
    int width = 0, height = 0;
    GetGraphicsHost().ScreenSize(&width, &height);
    const D3DFORMAT format = GetBackBufferFormat();
    // Rows are padded to whole 4-byte words, as BMP readers expect (no
    // padding at the game's width of 640).
    const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    std::vector<uint8_t> file(54 + static_cast<size_t>(rowBytes) * height, 0);
    bool converted = true;
    for (int y = 0; y < height && converted; ++y) {
        const auto* row = static_cast<const uint8_t*>(bits) + static_cast<size_t>(height - 1 - y) * pitch;
        converted = ConvertRow(format, row, width, file.data() + 54 + static_cast<size_t>(y) * rowBytes);
    }
    UnlockBackBuffer();
    if (!converted) return;

    uint8_t* h = file.data();
    h[0] = 'B';
    h[1] = 'M';
    PutU32(h + 2, static_cast<uint32_t>(file.size()));
    PutU32(h + 10, 54);
    PutU32(h + 14, 40);
    PutU32(h + 18, width);
    PutU32(h + 22, height);
    PutU16(h + 26, 1);
    PutU16(h + 28, 24);
    // The game names the file as a Windows path ("screen\\screen00.bmp"). A
    // shot the user protected stays as it is.
    platform::SaveFile(platform::ResolvePath(path), file);
}

int CopySurfaceRect(const LockedSurface* destination, const POINT* destinationPoint, const LockedSurface* source,
                    const RECT* sourceRect, D3DFORMAT format, ProgressCallback progress) {
    if (!destination || !source || !destination->bits || !source->bits || !destinationPoint || !sourceRect) return 0;
    int bytes;
    switch (format) {
    case D3DFMT_A8R8G8B8: case D3DFMT_X8R8G8B8: bytes = 4; break;
    case D3DFMT_R5G6B5: case D3DFMT_X1R5G5B5: case D3DFMT_A1R5G5B5: case D3DFMT_A4R4G4B4: bytes = 2; break;
    default: return 0;
    }
    // Clip the source rectangle to the source, then the copy to the destination.
    int left = std::max(sourceRect->left, 0), top = std::max(sourceRect->top, 0);
    int right = std::min(sourceRect->right, source->width), bottom = std::min(sourceRect->bottom, source->height);
    int x = destinationPoint->x + (left - sourceRect->left), y = destinationPoint->y + (top - sourceRect->top);
    if (x < 0) { left -= x; x = 0; }
    if (y < 0) { top -= y; y = 0; }
    right = std::min(right, left + (destination->width - x));
    bottom = std::min(bottom, top + (destination->height - y));
    if (right <= left || bottom <= top) return 1;
    const auto* from = static_cast<const uint8_t*>(source->bits) + static_cast<size_t>(top) * source->pitch + left * bytes;
    auto* to = static_cast<uint8_t*>(destination->bits) + static_cast<size_t>(y) * destination->pitch + x * bytes;
    for (int row = 0; row < bottom - top; ++row) {
        std::memcpy(to, from, static_cast<size_t>(right - left) * bytes);
        from += source->pitch;
        to += destination->pitch;
        if (progress && (row + 1) % 65536 == 0) progress(0);
    }
    return 1;
}
