#include "engine/graphics/image.h"
#include "platform/safe_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>

#include "engine/core/application.h"
#include "platform/little_endian.h"

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

using platform::ReadLe16;
using platform::WriteLe16;

// Integer channel c (0 blue .. 3 alpha) of one pixel of an integer format.
uint32_t LoadChannel(int kind, const uint8_t* pixel, int c) {
    switch (kind) {
    case IMAGE_PIXEL_16: return (ReadLe16(pixel) >> (12 - 4 * c)) & 15;
    case IMAGE_PIXEL_32: return pixel[c];
    default: return ReadLe16(pixel + 2 * c);
    }
}

void StoreChannel(int kind, uint8_t* pixel, int c, uint32_t v) {
    switch (kind) {
    case IMAGE_PIXEL_16: {
        int shift = 12 - 4 * c;
        uint32_t word = (ReadLe16(pixel) & ~(15u << shift)) | (v << shift);
        WriteLe16(pixel, word);
        break;
    }
    case IMAGE_PIXEL_32: pixel[c] = static_cast<uint8_t>(v); break;
    default: WriteLe16(pixel + 2 * c, v); break;
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

// dither(c, x, y) >> shift for each cell (y & 3, x & 3) of the dither matrix
// and each channel value c, so that a packed pixel costs a look-up per channel.
class DitherCut {
public:
    DitherCut(int (*dither)(int, int, int), int shift) {
        for (int i = 0; i < 16; ++i)
            for (int c = 0; c < 256; ++c) cells_[i][c] = static_cast<uint8_t>(dither(c, i & 3, i >> 2) >> shift);
    }
    const uint8_t* At(int x, int y) const { return cells_[(y & 3) * 4 + (x & 3)]; }

private:
    uint8_t cells_[16][256];
};

const DitherCut CUT_TO_5(Dither5, 3);
const DitherCut CUT_TO_6(Dither5, 2);
const DitherCut CUT_TO_4(Dither4, 4);

uint32_t PackR5G6B5(const uint8_t* p, int x, int y) {
    const uint8_t* five = CUT_TO_5.At(x, y);
    return (five[p[2]] << 11) | (CUT_TO_6.At(x, y)[p[1]] << 5) | five[p[0]];
}

uint32_t PackA1R5G5B5(const uint8_t* p, int x, int y) {
    const uint8_t* five = CUT_TO_5.At(x, y);
    return (p[3] >= 128 ? 0x8000u : 0u) | (five[p[2]] << 10) | (five[p[1]] << 5) | five[p[0]];
}

uint32_t PackA4R4G4B4(const uint8_t* p, int x, int y) {
    const uint8_t* four = CUT_TO_4.At(x, y);
    return (four[p[3]] << 12) | (four[p[2]] << 8) | (four[p[1]] << 4) | four[p[0]];
}

// One row of the picture into a row of a 16-bit surface. The packer is a
// template argument so that it is inlined into the pixel loop.
template <uint32_t (*Pack)(const uint8_t*, int, int)>
void PackRow(const uint8_t* in, uint8_t* out, int width, int y) {
    for (int x = 0; x < width; ++x) WriteLe16(out + 2 * x, Pack(in + 4 * x, x, y));
}

void CopyRow(const uint8_t* in, uint8_t* out, int width, int /*y*/) {
    std::memcpy(out, in, static_cast<size_t>(width) * 4);
}

using RowWriter = void (*)(const uint8_t* in, uint8_t* out, int width, int y);

RowWriter RowWriterFor(uint32_t format) {
    switch (format) {
    case IMAGE_SURFACE_A8R8G8B8:
    case IMAGE_SURFACE_X8R8G8B8: return CopyRow;
    case IMAGE_SURFACE_R5G6B5: return PackRow<PackR5G6B5>;
    case IMAGE_SURFACE_X1R5G5B5:
    case IMAGE_SURFACE_A1R5G5B5: return PackRow<PackA1R5G5B5>;
    case IMAGE_SURFACE_A4R4G4B4:
    case IMAGE_SURFACE_X4R4G4B4: return PackRow<PackA4R4G4B4>;
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
        platform::ZeroedBytes data;
        int width = 0, height = 0, format = 0;
        if (ReadArchiveEntry(archive, lowered, &width, &height, &data, &format, progress) == 0)
            return SetError(imageErrorText, LOAD_FAILED_TEXT);
        ReportProgress(progress);
        // Pictures stored in the image's own layout are taken as read.
        platform::ZeroedBytes pixels;
        if (format % 4 == IMAGE_PIXEL_32) {
            pixels = std::move(data);
            ReportProgress(progress);
        } else {
            pixels.resize(static_cast<size_t>(GetDataSize(width, height, IMAGE_PIXEL_32)));
            ReportProgress(progress);
            ConvertPixels(width, height, format, data.data(), IMAGE_PIXEL_32, pixels.data(), nullptr);
        }
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
    platform::ZeroedBytes pixels;
    try {
        pixels.resize(static_cast<size_t>(pitch) * info.height);
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

void Image::SetPixels(int width, int height, const std::vector<uint8_t>& pixels) {
    pixels_.assign(pixels.begin(), pixels.end());
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
    const RowWriter write = RowWriterFor(format);
    if (!write) return 0;
    bool wide = write == CopyRow;
    auto* dst = static_cast<uint8_t*>(bits);
    size_t dstStep = static_cast<size_t>(pitch & (wide ? ~3 : ~1));
    size_t srcStep = static_cast<size_t>(pitch_ & ~3);
    int64_t done = 0;
    for (int y = 0; y < height_; ++y) {
        write(pixels_.data() + srcStep * y, dst + dstStep * y, width_, y);
        done += width_;
        if (done >= 65536) {
            done -= 65536;
            ReportProgress(progress);
        }
    }
    return 1;
}
