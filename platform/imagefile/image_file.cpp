#include "platform/image_file.h"
#include "platform/safe_file.h"

#include <cstring>
#include <cstdio>
#include <vector>

#include "platform/imagefile/decoders.h"
#include "platform/little_endian.h"

namespace platform {
namespace imagefile {

bool SidesAreSane(int64_t width, int64_t height) {
    return width > 0 && height > 0 && width <= IMAGE_FILE_MAX_SIDE && height <= IMAGE_FILE_MAX_SIDE;
}

}  // namespace imagefile

namespace {

void ApplyColourKey(uint32_t colourKey, DecodedImage* image) {
    uint8_t key[4];
    WriteLe32(key, colourKey);
    for (size_t i = 0; i < image->pixels.size(); i += 4)
        if (std::memcmp(&image->pixels[i], key, 4) == 0) std::memset(&image->pixels[i], 0, 4);
}

}  // namespace

bool DecodeImage(const uint8_t* data, size_t size, DecodedImage* out) {
    using namespace imagefile;
    DecodedImage image;
    bool ok = IsPng(data, size)    ? DecodePng(data, size, &image)
              : IsJpeg(data, size) ? DecodeJpeg(data, size, &image)
              : IsBmp(data, size)  ? DecodeBmp(data, size, &image)
                                   : DecodeTga(data, size, &image);
    *out = ok ? std::move(image) : DecodedImage{};
    return ok;
}

bool LoadImageFile(const std::string& path, uint32_t colourKey, DecodedImage* out) {
    std::vector<uint8_t> bytes;
    const FilePtr file = OpenRegularFile(path);
    uint8_t chunk[65536];
    for (size_t n; file && (n = std::fread(chunk, 1, sizeof chunk, file.get())) > 0;) {
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    if (!file || std::ferror(file.get()) || !DecodeImage(bytes.data(), bytes.size(), out)) {
        *out = DecodedImage{};
        return false;
    }
    if (colourKey != 0) ApplyColourKey(colourKey, out);
    return true;
}

}  // namespace platform
