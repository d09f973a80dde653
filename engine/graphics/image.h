#pragma once
#include <cstdint>
#include <vector>

#include "engine/core/resource.h"
#include "engine/graphics/kag_archive.h"
#include "platform/image_file.h"

// Every Image, appended at the back by its constructor.
extern ResourceList imageList;

// Surface formats CopyToSurface writes, by their Direct3D numbers.
enum ImageSurfaceFormat : uint32_t {
    IMAGE_SURFACE_A8R8G8B8 = 21,
    IMAGE_SURFACE_X8R8G8B8 = 22,
    IMAGE_SURFACE_R5G6B5 = 23,
    IMAGE_SURFACE_X1R5G5B5 = 24,
    IMAGE_SURFACE_A1R5G5B5 = 25,
    IMAGE_SURFACE_A4R4G4B4 = 26,
    IMAGE_SURFACE_X4R4G4B4 = 30,
};

// A channel value 0-255 with the 4x4 ordered dither added, ready to be cut to
// 5 or 6 bits (Dither5) or to 4 bits (Dither4); both stay within 0-255.
int Dither5(int c, int x, int y);
int Dither4(int c, int x, int y);

// Converts width x height pixels channel by channel from one pixel format to
// another (formats 4-7 count as 0-3); dst holds GetDataSize(.., to) bytes.
// Float channels outside 0-1 (and NaN) are clamped first.
void ConvertPixels(int width, int height, int from, const void* src, int to, void* dst,
                   ProgressCallback progress);

// A decoded picture in memory, 32 bits per pixel (B, G, R, A), rows top-down.
class Image : public ResourceObject {
public:
    Image();
    ~Image() override;

    // Reads the entry of `key` (lowered A-Z) from the archive and widens it to
    // 32 bits. Null on success, else the error text.
    const char* LoadFromArchive(const char* archive, const char* key, ProgressCallback progress);

    // Susie plug-ins are Windows libraries that cannot load here: after the
    // same file checks, the reader reports that no plug-in was found.
    const char* LoadSusie(const char* fileName, const char* pluginFolder, ProgressCallback progress);

    // Converts a bottom-up DIB (what a Susie plug-in delivers) into the
    // pixels, alpha 255, one-bit pictures white on black whatever the palette;
    // the pitch is the width rounded up to 8 (1-4 bits), 2 (8, 16 bits) or 4
    // pixels, times 4. 1 on success, 0 for another bit count, a bad size, too
    // few bits or exhausted memory.
    int ConvertDib(const platform::DibInfo& info, const uint8_t* bits, size_t bitsSize, ProgressCallback progress);

    // Takes a decoded picture: B, G, R, A bytes, rows top-down, pitch width x 4.
    void SetPixels(int width, int height, const std::vector<uint8_t>& pixels);
    void GetPixels(uint8_t** pixels, int* pitch);
    void GetSize(int* width, int* height) const;

    // Writes the picture into locked surface memory of a Direct3D format
    // (dithering into the 16-bit ones); 1 when the format is supported, else
    // 0 with nothing written.
    int CopyToSurface(void* bits, int pitch, uint32_t format, ProgressCallback progress) const;

private:
    platform::ZeroedBytes pixels_;
    int width_ = 0;
    int height_ = 0;
    int pitch_ = 0;
};

// New Image with reference count 1 on imageList.
Image* CreateImage();
