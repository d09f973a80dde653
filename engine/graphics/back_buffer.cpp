// Back-buffer pixels: the BMP screenshot and rectangle copies between locked
// surfaces.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/graphics/bitmap_file.h"
#include "engine/graphics/device.h"
#include "platform/paths.h"
#include "platform/safe_file.h"

using namespace gpu;

namespace {

// The screen formats a screenshot converts.
bool IsScreenshotFormat(D3DFORMAT format) {
    return format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8 || format == D3DFMT_R5G6B5 ||
           format == D3DFMT_X1R5G5B5;
}

}  // namespace

void SaveScreenshot(const char* path) {
    void* bits = nullptr;
    int pitch = 0;
    if (!LockBackBuffer(&bits, &pitch)) return;
    int width = 0, height = 0;
    GetGraphicsHost().ScreenSize(&width, &height);
    const D3DFORMAT format = GetBackBufferFormat();
    const std::vector<uint8_t> file =
        IsScreenshotFormat(format) ? EncodeBitmap(format, bits, pitch, width, height) : std::vector<uint8_t>{};
    UnlockBackBuffer();
    if (file.empty()) return;
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
