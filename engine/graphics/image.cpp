#include "engine/graphics/image.h"
#include "platform/safe_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

#include "engine/core/application.h"

ResourceList imageList;

namespace {

// "Can't Load KAG File" and, in CP932, "memory could not be allocated; free
// memory may be short".
constexpr const char* LOAD_FAILED_TEXT = "Can't Load KAG File";
constexpr const char* OUT_OF_MEMORY_TEXT =
    "\x83\x81\x83\x82\x83\x8A\x8Am\x95\xDB\x82\xC9\x8E\xB8\x94s \x8B\xF3\x82\xAB\x83\x81\x83\x82"
    "\x83\x8A\x82\xAA\x95s\x91\xAB\x82\xB5\x82\xC4\x82\xA2\x82\xE9\x89\xC2\x94\x5C\x90\xAB\x82\xAA"
    "\x82\xA0\x82\xE8\x82\xDC\x82\xB7";
// Susie reader texts: the file cannot be opened; the picture is too small; no
// plug-in was found.
constexpr const char* SUSIE_OPEN_FAILED_TEXT =
    "\x83t\x83@\x83" "C\x83\x8B\x82\xAA\x8AJ\x82\xAF\x82\xDC\x82\xB9\x82\xF1";
constexpr const char* SUSIE_TOO_SMALL_TEXT =
    "\x89\xE6\x91\x9C\x82\xAA\x8F\xAC\x82\xB3\x82\xB7\x82\xAC\x82\xDC\x82\xB7";
constexpr const char* SUSIE_NO_PLUGIN_TEXT =
    "SUSIE-Plugin\x82\xAA\x8C\xA9\x82\xC2\x82\xA9\x82\xE8\x82\xDC\x82\xB9\x82\xF1";
constexpr long SUSIE_MIN_FILE_SIZE = 2048;

char imageErrorText[256];
char susieErrorText[256];

const char* SetError(char (&buffer)[256], const char* text) {
    std::snprintf(buffer, sizeof buffer, "%s", text);
    return buffer;
}

constexpr int M5[4][4] = {{0, 4, 1, 5}, {6, 2, 7, 3}, {1, 5, 0, 4}, {7, 3, 6, 2}};
constexpr int M4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {2, 10, 0, 8}, {14, 6, 12, 4}};

// ---- Pixel formats -------------------------------------------------------

constexpr uint32_t CHANNEL_MAX[3] = {15, 255, 65535};
constexpr float CHANNEL_SCALE[3] = {0.06666667f, 0.003921569f, 1.5259022e-05f};
constexpr int PIXEL_BYTES[4] = {2, 4, 8, 16};
constexpr int KIND_FLOAT = IMAGE_PIXEL_FLOAT;

uint16_t LoadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
void StoreU16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

// Integer channel c (0 blue .. 3 alpha) of one pixel of an integer format.
uint32_t LoadChannel(int kind, const uint8_t* pixel, int c) {
    switch (kind) {
    case IMAGE_PIXEL_16: return (LoadU16(pixel) >> (12 - 4 * c)) & 15;
    case IMAGE_PIXEL_32: return pixel[c];
    default: return LoadU16(pixel + 2 * c);
    }
}

void StoreChannel(int kind, uint8_t* pixel, int c, uint32_t v) {
    switch (kind) {
    case IMAGE_PIXEL_16: {
        int shift = 12 - 4 * c;
        uint32_t word = (LoadU16(pixel) & ~(15u << shift)) | (v << shift);
        StoreU16(pixel, word);
        break;
    }
    case IMAGE_PIXEL_32: pixel[c] = static_cast<uint8_t>(v); break;
    default: StoreU16(pixel + 2 * c, v); break;
    }
}

float LoadFloat(const uint8_t* pixel, int c) {
    float v;
    std::memcpy(&v, pixel + 4 * c, sizeof v);
    return v;
}

void StoreFloat(uint8_t* pixel, int c, float v) { std::memcpy(pixel + 4 * c, &v, sizeof v); }

void ConvertChannel(int from, const uint8_t* src, int to, uint8_t* dst, int c) {
    if (from == KIND_FLOAT && to == KIND_FLOAT) {
        StoreFloat(dst, c, LoadFloat(src, c));
    } else if (from == KIND_FLOAT) {
        float v = LoadFloat(src, c);
        v = std::isnan(v) ? 0.0f : std::clamp(v, 0.0f, 1.0f);
        StoreChannel(to, dst, c, static_cast<uint32_t>(v * static_cast<float>(CHANNEL_MAX[to])));
    } else if (to == KIND_FLOAT) {
        StoreFloat(dst, c, static_cast<float>(LoadChannel(from, src, c)) * CHANNEL_SCALE[from]);
    } else {
        StoreChannel(to, dst, c, LoadChannel(from, src, c) * CHANNEL_MAX[to] / CHANNEL_MAX[from]);
    }
}

// ---- Surface writers -----------------------------------------------------

uint32_t PackR5G6B5(const uint8_t* p, int x, int y) {
    return ((Dither5(p[2], x, y) >> 3) << 11) | ((Dither5(p[1], x, y) >> 2) << 5) | (Dither5(p[0], x, y) >> 3);
}

uint32_t PackA1R5G5B5(const uint8_t* p, int x, int y) {
    return (p[3] >= 128 ? 0x8000u : 0u) | ((Dither5(p[2], x, y) >> 3) << 10) |
           ((Dither5(p[1], x, y) >> 3) << 5) | (Dither5(p[0], x, y) >> 3);
}

uint32_t PackA4R4G4B4(const uint8_t* p, int x, int y) {
    return ((Dither4(p[3], x, y) >> 4) << 12) | ((Dither4(p[2], x, y) >> 4) << 8) |
           ((Dither4(p[1], x, y) >> 4) << 4) | (Dither4(p[0], x, y) >> 4);
}

using Packer = uint32_t (*)(const uint8_t*, int, int);

Packer PackerFor(uint32_t format) {
    switch (format) {
    case IMAGE_SURFACE_R5G6B5: return PackR5G6B5;
    case IMAGE_SURFACE_X1R5G5B5:
    case IMAGE_SURFACE_A1R5G5B5: return PackA1R5G5B5;
    case IMAGE_SURFACE_A4R4G4B4:
    case IMAGE_SURFACE_X4R4G4B4: return PackA4R4G4B4;
    default: return nullptr;
    }
}

// Rows of the picture are padded to a multiple of this many pixels.
int DibPitchAlignment(int bitCount) {
    if (bitCount <= 4) return 8;
    return bitCount <= 16 ? 2 : 4;
}

}  // namespace

int Dither5(int c, int x, int y) { return c * 249 / 256 + M5[y & 3][x & 3]; }
int Dither4(int c, int x, int y) { return c * 242 / 256 + M4[y & 3][x & 3]; }

void ConvertPixels(int width, int height, int from, const void* src, int to, void* dst,
                   ProgressCallback progress) {
    from %= 4;
    to %= 4;
    const auto* in = static_cast<const uint8_t*>(src);
    auto* out = static_cast<uint8_t*>(dst);
    int64_t count = static_cast<int64_t>(width) * height;
    if (from == to) {
        std::memcpy(out, in, static_cast<size_t>(count * PIXEL_BYTES[from]));
        return;
    }
    for (int64_t i = 0; i < count; ++i) {
        for (int c = 0; c < 4; ++c)
            ConvertChannel(from, in + i * PIXEL_BYTES[from], to, out + i * PIXEL_BYTES[to], c);
        if ((i + 1) % 2048 == 0) ReportProgress(progress);
    }
}

Image::Image() { imageList.PushBack(this); }

Image::~Image() = default;

Image* CreateImage() { return new (std::nothrow) Image(); }

const char* Image::LoadFromArchive(const char* archive, const char* key, ProgressCallback progress) {
    char lowered[256];
    std::snprintf(lowered, sizeof lowered, "%s", key);
    for (char* p = lowered; *p; ++p)
        if (*p >= 'A' && *p <= 'Z') *p = static_cast<char>(*p - 'A' + 'a');
    // Archive paths are relative to the program's folder.
    SetCurrentFolderToApp();
    try {
        std::vector<uint8_t> data;
        int width = 0, height = 0, format = 0;
        if (ReadArchiveEntry(archive, lowered, &width, &height, &data, &format, progress) == 0)
            return SetError(imageErrorText, LOAD_FAILED_TEXT);
        ReportProgress(progress);
        std::vector<uint8_t> pixels(static_cast<size_t>(GetDataSize(width, height, IMAGE_PIXEL_32)));
        ReportProgress(progress);
        ConvertPixels(width, height, format, data.data(), IMAGE_PIXEL_32, pixels.data(), nullptr);
        ReportProgress(progress);
        pixels_ = std::move(pixels);
        width_ = width;
        height_ = height;
        pitch_ = width * 4;
        return nullptr;
    } catch (const std::bad_alloc&) {
        return SetError(imageErrorText, OUT_OF_MEMORY_TEXT);
    }
}

// No plug-in library can be loaded on this system, so the folder is not searched.
const char* Image::LoadSusie(const char* fileName, const char* /*pluginFolder*/, ProgressCallback progress) {
    FILE* f = platform::OpenRegularFile(fileName).release();
    if (!f) return SetError(susieErrorText, SUSIE_OPEN_FAILED_TEXT);
    ReportProgress(progress);
    std::fseek(f, 0, SEEK_END);
    long size = std::ftell(f);
    std::fclose(f);
    if (size < SUSIE_MIN_FILE_SIZE) return SetError(susieErrorText, SUSIE_TOO_SMALL_TEXT);
    return SetError(susieErrorText, SUSIE_NO_PLUGIN_TEXT);
}

int Image::ConvertDib(const platform::DibInfo& info, const uint8_t* bits, size_t bitsSize,
                      ProgressCallback progress) {
    if (info.width <= 0 || info.height <= 0 || info.width > KAG_MAX_SIDE || info.height > KAG_MAX_SIDE) return 0;
    // A bit count of no DIB, or too few bits for the rows, is refused before
    // the picture's memory (up to 1 GiB) is taken.
    if (info.bitCount < 1 || info.bitCount > 32 ||
        platform::DibRowBytes(info) * static_cast<size_t>(info.height) > bitsSize)
        return 0;
    int align = DibPitchAlignment(info.bitCount);
    int pitch = (info.width + align - 1) / align * align * 4;
    std::vector<uint8_t> pixels;
    try {
        pixels.assign(static_cast<size_t>(pitch) * info.height, 0);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    platform::DibInfo susie = info;
    susie.monoIgnoresPalette = true;
    if (!platform::DecodeDibRows(susie, bits, bitsSize, pixels.data(), pitch)) return 0;
    ReportProgress(progress);
    pixels_ = std::move(pixels);
    width_ = info.width;
    height_ = info.height;
    pitch_ = pitch;
    return 1;
}

void Image::SetPixels(int width, int height, std::vector<uint8_t> pixels) {
    pixels_ = std::move(pixels);
    width_ = width;
    height_ = height;
    pitch_ = width * 4;
}

void Image::GetPixels(uint8_t** pixels, int* pitch) {
    if (pixels) *pixels = pixels_.empty() ? nullptr : pixels_.data();
    if (pitch) *pitch = pitch_;
}

void Image::GetSize(int* width, int* height) const {
    if (width) *width = width_;
    if (height) *height = height_;
}

int Image::CopyToSurface(void* bits, int pitch, uint32_t format, ProgressCallback progress) const {
    bool wide = format == IMAGE_SURFACE_A8R8G8B8 || format == IMAGE_SURFACE_X8R8G8B8;
    Packer pack = PackerFor(format);
    if (!wide && !pack) return 0;
    auto* dst = static_cast<uint8_t*>(bits);
    size_t dstStep = static_cast<size_t>(pitch & (wide ? ~3 : ~1));
    size_t srcStep = static_cast<size_t>(pitch_ & ~3);
    int64_t done = 0;
    for (int y = 0; y < height_; ++y) {
        const uint8_t* src = pixels_.data() + srcStep * y;
        uint8_t* row = dst + dstStep * y;
        if (wide) std::memcpy(row, src, static_cast<size_t>(width_) * 4);
        for (int x = 0; !wide && x < width_; ++x) StoreU16(row + 2 * x, pack(src + 4 * x, x, y));
        done += width_;
        if (done >= 65536) {
            done -= 65536;
            ReportProgress(progress);
        }
    }
    return 1;
}
