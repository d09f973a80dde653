// Uncompressed BMP and TGA (true colour, grey and colour-mapped, plain or
// run-length encoded), plus the DIB row decoder they share with the Susie
// picture path.
#include <algorithm>
#include <cstring>

#include "platform/imagefile/decoders.h"
#include "platform/little_endian.h"

namespace platform {
namespace {

void PaletteEntry(const DibInfo& info, unsigned index, uint8_t* bgr) {
    if (static_cast<int>(index) < info.paletteEntries) std::memcpy(bgr, info.palette + 4 * index, 3);
    else std::memset(bgr, 0, 3);
}

void ReadDibPixel(const DibInfo& info, const uint8_t* row, int x, uint8_t* bgr) {
    switch (info.bitCount) {
    case 1: {
        unsigned bit = (row[x / 8] >> (7 - x % 8)) & 1;
        if (info.monoIgnoresPalette) std::memset(bgr, bit ? 255 : 0, 3);
        else PaletteEntry(info, bit, bgr);
        break;
    }
    case 2: PaletteEntry(info, (row[x / 4] >> (6 - 2 * (x % 4))) & 3, bgr); break;
    case 4: PaletteEntry(info, (row[x / 2] >> (4 - 4 * (x % 2))) & 15, bgr); break;
    case 8: PaletteEntry(info, row[x], bgr); break;
    case 16: {
        uint16_t w = ReadLe16(row + 2 * x);
        for (int c = 0; c < 3; ++c) bgr[c] = static_cast<uint8_t>(((w >> (5 * c)) & 31) * 255 / 31);
        break;
    }
    case 24: std::memcpy(bgr, row + 3 * x, 3); break;
    default: std::memcpy(bgr, row + 4 * x, 3); break;
    }
}

bool IsDibBitCount(int bitCount) {
    switch (bitCount) {
    case 1: case 2: case 4: case 8: case 16: case 24: case 32: return true;
    default: return false;
    }
}

}  // namespace

size_t DibRowBytes(const DibInfo& info) {
    return (static_cast<size_t>(std::max(info.width, 0)) * info.bitCount + 31) / 32 * 4;
}

bool DecodeDibRows(const DibInfo& info, const uint8_t* bits, size_t bitsSize, uint8_t* out, size_t outPitch) {
    if (!IsDibBitCount(info.bitCount) || !imagefile::SidesAreSane(info.width, info.height)) return false;
    size_t rowBytes = DibRowBytes(info);
    if (rowBytes * info.height > bitsSize) return false;
    for (int y = 0; y < info.height; ++y) {
        const uint8_t* row = bits + rowBytes * (info.height - 1 - y);
        uint8_t* dst = out + outPitch * y;
        for (int x = 0; x < info.width; ++x) {
            ReadDibPixel(info, row, x, dst + 4 * x);
            dst[4 * x + 3] = 255;
        }
    }
    return true;
}

namespace imagefile {

// ---- BMP -----------------------------------------------------------------

constexpr size_t BMP_FILE_HEADER = 14;
constexpr uint32_t BI_RGB = 0;

bool IsBmp(const uint8_t* data, size_t size) { return size >= 2 && data[0] == 'B' && data[1] == 'M'; }

bool DecodeBmp(const uint8_t* data, size_t size, DecodedImage* out) {
    if (size < BMP_FILE_HEADER + 40) return false;
    uint32_t bitsOffset = ReadLe32(data + 10);
    const uint8_t* header = data + BMP_FILE_HEADER;
    uint32_t headerSize = ReadLe32(header);
    if (headerSize < 40 || BMP_FILE_HEADER + headerSize > size) return false;
    int32_t width = static_cast<int32_t>(ReadLe32(header + 4));
    int32_t height = static_cast<int32_t>(ReadLe32(header + 8));
    int bitCount = ReadLe16(header + 14);
    if (ReadLe32(header + 16) != BI_RGB) return false;
    uint32_t colours = ReadLe32(header + 32);
    if (bitCount <= 8 && colours == 0) colours = 1u << bitCount;
    size_t paletteOffset = BMP_FILE_HEADER + headerSize;
    size_t paletteBytes = bitCount <= 8 ? std::min<size_t>(colours, 256) * 4 : 0;
    if (paletteOffset + paletteBytes > size || bitsOffset > size) return false;
    // A negative height stores the rows top-down; the decoder reads bottom-up,
    // so such a picture is decoded and then turned over.
    bool topDown = height < 0;
    int64_t rows = topDown ? -static_cast<int64_t>(height) : height;
    if (!SidesAreSane(width, rows)) return false;
    DibInfo info{width, static_cast<int32_t>(rows), bitCount, data + paletteOffset, static_cast<int>(paletteBytes / 4),
                 false};
    // Rows missing from the file are found before the picture's memory is taken.
    if (!IsDibBitCount(bitCount) || DibRowBytes(info) * info.height > size - bitsOffset) return false;
    out->width = info.width;
    out->height = info.height;
    out->pixels.assign(static_cast<size_t>(info.width) * info.height * 4, 0);
    size_t pitch = static_cast<size_t>(info.width) * 4;
    if (!DecodeDibRows(info, data + bitsOffset, size - bitsOffset, out->pixels.data(), pitch)) return false;
    for (int y = 0; topDown && y < info.height / 2; ++y)
        std::swap_ranges(out->pixels.begin() + y * pitch, out->pixels.begin() + (y + 1) * pitch,
                         out->pixels.begin() + (info.height - 1 - y) * pitch);
    return true;
}

// ---- TGA -----------------------------------------------------------------

namespace {

constexpr size_t TGA_HEADER = 18;

struct TgaHeader {
    int idLength, mapType, imageType;
    int mapFirst, mapLength, mapDepth;
    int width, height, depth, descriptor;
};

TgaHeader ReadTgaHeader(const uint8_t* d) {
    return {d[0], d[1], d[2], ReadLe16(d + 3), ReadLe16(d + 5), d[7], ReadLe16(d + 12), ReadLe16(d + 14), d[16], d[17]};
}

// The depths a true-colour pixel or a colour-map entry may have.
bool IsTgaColourDepth(int depth) { return depth == 15 || depth == 16 || depth == 24 || depth == 32; }

// One stored pixel (or colour-map entry) of `depth` bits to B, G, R, A.
void TgaColour(const uint8_t* p, int depth, bool hasAlpha, uint8_t* bgra) {
    switch (depth) {
    case 8: bgra[0] = bgra[1] = bgra[2] = p[0]; bgra[3] = 255; break;
    case 15:
    case 16: {
        uint16_t w = ReadLe16(p);
        for (int c = 0; c < 3; ++c) bgra[c] = static_cast<uint8_t>(((w >> (5 * c)) & 31) * 255 / 31);
        bgra[3] = hasAlpha && depth == 16 && !(w & 0x8000) ? 0 : 255;
        break;
    }
    case 24: std::memcpy(bgra, p, 3); bgra[3] = 255; break;
    default: std::memcpy(bgra, p, 4); if (!hasAlpha) bgra[3] = 255; break;
    }
}

class TgaReader {
public:
    TgaReader(const uint8_t* data, size_t size, const TgaHeader& h) : data_(data), size_(size), h_(h) {}

    bool Decode(DecodedImage* out) {
        int kind = h_.imageType & 7;
        bool mapped = kind == 1;
        if (kind < 1 || kind > 3 || (mapped && h_.mapType != 1)) return false;
        int bytes = (h_.depth + 7) / 8;
        if (mapped || kind == 3 ? h_.depth != 8 : !IsTgaColourDepth(h_.depth))
            return false;
        size_t mapBytes = h_.mapType == 1 ? static_cast<size_t>(h_.mapLength) * ((h_.mapDepth + 7) / 8) : 0;
        pos_ = TGA_HEADER + h_.idLength;
        map_ = data_ + pos_;
        pos_ += mapBytes;
        if (pos_ > size_) return false;
        bool rle = h_.imageType & 8;
        // A raw pixel takes `bytes` of the file, a run-length packet of up to
        // 128 pixels 1 + bytes: a picture larger than the rest of the file can
        // describe is refused before its memory is taken.
        const uint64_t left = size_ - pos_;
        const uint64_t describable = rle ? left / (1 + bytes) * 128 : left / bytes;
        if (static_cast<uint64_t>(h_.width) * h_.height > describable) return false;
        out->width = h_.width;
        out->height = h_.height;
        out->pixels.assign(static_cast<size_t>(h_.width) * h_.height * 4, 0);
        for (size_t i = 0; i < static_cast<size_t>(h_.width) * h_.height;) {
            int count = 1;
            bool repeat = false;
            if (rle) {
                if (pos_ >= size_) return false;
                uint8_t packet = data_[pos_++];
                count = (packet & 0x7F) + 1;
                repeat = packet & 0x80;
            }
            for (int k = 0; k < count && i < out->pixels.size() / 4; ++k, ++i) {
                if (k == 0 || !repeat) {
                    if (pos_ + bytes > size_ || !Colour(data_ + pos_, mapped, pixel_)) return false;
                    pos_ += bytes;
                }
                std::memcpy(&out->pixels[Destination(i)], pixel_, 4);
            }
        }
        return true;
    }

private:
    bool Colour(const uint8_t* p, bool mapped, uint8_t* bgra) const {
        bool hasAlpha = (h_.descriptor & 15) != 0;
        if (!mapped) {
            TgaColour(p, h_.depth, hasAlpha, bgra);
            return true;
        }
        int index = p[0] - h_.mapFirst;
        if (index < 0 || index >= h_.mapLength) return false;
        TgaColour(map_ + index * ((h_.mapDepth + 7) / 8), h_.mapDepth, hasAlpha, bgra);
        return true;
    }

    // Byte offset in the top-down picture of the i-th stored pixel.
    size_t Destination(size_t i) const {
        size_t x = i % h_.width, y = i / h_.width;
        if (h_.descriptor & 0x10) x = h_.width - 1 - x;
        if (!(h_.descriptor & 0x20)) y = h_.height - 1 - y;
        return (y * h_.width + x) * 4;
    }

    const uint8_t* data_;
    size_t size_;
    TgaHeader h_;
    const uint8_t* map_ = nullptr;
    size_t pos_ = 0;
    uint8_t pixel_[4] = {};
};

}  // namespace

bool DecodeTga(const uint8_t* data, size_t size, DecodedImage* out) {
    if (size < TGA_HEADER) return false;
    TgaHeader h = ReadTgaHeader(data);
    if (!SidesAreSane(h.width, h.height)) return false;
    if (h.mapType == 1 && !IsTgaColourDepth(h.mapDepth)) return false;
    return TgaReader(data, size, h).Decode(out);
}

}  // namespace imagefile
}  // namespace platform
