#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Picture files as the Direct3D utility library reads them for textures: PNG,
// JPEG, BMP and TGA, decoded to B, G, R, A bytes.

// Pictures wider or taller than this are refused.
inline constexpr int IMAGE_FILE_MAX_SIDE = 16384;

// A decoded picture: B, G, R, A bytes, rows top-down, pitch width x 4.
struct DecodedImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;
};

// Decodes a whole file. colourKey (0xAARRGGBB), when not 0, turns every pixel
// of exactly that colour into transparent black. False, with out left empty,
// for a missing file, an unknown format or damaged data.
bool LoadImageFile(const std::string& path, uint32_t colourKey, DecodedImage* out);

// The same from bytes in memory, without a colour key.
bool DecodeImage(const uint8_t* data, size_t size, DecodedImage* out);

// A device-independent bitmap's pixel rows: bottom-up, each padded to a
// multiple of four bytes; 1, 2, 4 and 8 bits index the palette of blue,
// green, red, reserved quads (an index past it reads black), 16 bits are
// 5-5-5, 24 and 32 bits are blue, green, red (and an unused byte).
struct DibInfo {
    int32_t width = 0;
    int32_t height = 0;
    int bitCount = 0;
    const uint8_t* palette = nullptr;
    int paletteEntries = 0;
    // One-bit pictures read set bits as white and clear bits as black,
    // ignoring the palette (what the Susie picture reader does).
    bool monoIgnoresPalette = false;
};

// Byte count of one padded source row.
size_t DibRowBytes(const DibInfo& info);

// Writes the picture top-down into out (rows outPitch bytes apart), alpha 255.
// False for an unknown bit count, a side outside 1..IMAGE_FILE_MAX_SIDE or
// fewer than DibRowBytes x height bytes of rows.
bool DecodeDibRows(const DibInfo& info, const uint8_t* bits, size_t bitsSize, uint8_t* out, size_t outPitch);

}  // namespace platform
