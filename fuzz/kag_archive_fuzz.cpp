// Image archives as any file may hold them: the lookup of a key, the entry
// unpacked (LZSS included), widened to 32 bits and written to every surface
// format.
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/graphics/image.h"
#include "engine/graphics/kag_archive.h"
#include "fuzz/fuzz_support.h"

namespace {

// Loading changes to the program's folder: the archive is named absolutely.
const std::string& ArchivePath() {
    static const std::string path = (std::filesystem::current_path() / "archive.dat").string();
    return path;
}

constexpr uint32_t kSurfaceFormats[] = {
    IMAGE_SURFACE_A8R8G8B8, IMAGE_SURFACE_X8R8G8B8, IMAGE_SURFACE_R5G6B5,   IMAGE_SURFACE_X1R5G5B5,
    IMAGE_SURFACE_A1R5G5B5, IMAGE_SURFACE_A4R4G4B4, IMAGE_SURFACE_X4R4G4B4,
};

void CheckImage(Image& image) {
    int width = 0, height = 0, pitch = 0;
    uint8_t* pixels = nullptr;
    image.GetSize(&width, &height);
    image.GetPixels(&pixels, &pitch);
    FUZZ_CHECK(width >= 0 && width <= KAG_MAX_SIDE && height >= 0 && height <= KAG_MAX_SIDE);
    FUZZ_CHECK(pitch == width * 4);
    // A surface of exactly the picture's size: a write past it is caught.
    std::vector<uint8_t> surface(static_cast<size_t>(pitch) * height);
    for (uint32_t format : kSurfaceFormats) {
        const int surfacePitch = format <= IMAGE_SURFACE_X8R8G8B8 ? width * 4 : width * 2;
        FUZZ_CHECK(image.CopyToSurface(surface.data(), surfacePitch, format, nullptr) == 1);
    }
}

}  // namespace

// The input is the archive; the key is its first entry's name.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = ArchivePath();
    fuzz::WriteFile(path, {data, size});
    char key[KAG_NAME_SIZE + 1] = {};
    const size_t nameAt = KAG_FILE_HEADER_SIZE;
    if (size > nameAt) std::memcpy(key, data + nameAt, std::min<size_t>(size - nameAt, KAG_NAME_SIZE));

    int width = -1, height = -1, format = -1;
    const int64_t headerOnly = ReadArchiveEntry(path.c_str(), key, &width, &height, nullptr, &format, nullptr);
    platform::ZeroedBytes unpacked;
    const int64_t unpackedSize = ReadArchiveEntry(path.c_str(), key, nullptr, nullptr, &unpacked, nullptr, nullptr);
    if (unpackedSize > 0) {
        FUZZ_CHECK(headerOnly == unpackedSize && static_cast<int64_t>(unpacked.size()) == unpackedSize);
        FUZZ_CHECK(unpackedSize == GetDataSize(width, height, format));
    }

    Image* image = CreateImage();
    if (image->LoadFromArchive(path.c_str(), key, nullptr) == nullptr) CheckImage(*image);
    image->Release();
    return 0;
}

void WriteFuzzSeeds(fuzz::Seeds& seeds) {
    // Each format once, small pictures with every channel varied.
    KagWriter writer;
    for (int format = IMAGE_PIXEL_16; format <= IMAGE_PIXEL_FLOAT_LZSS; ++format) {
        const int width = 3 + format, height = 2;
        std::vector<uint8_t> pixels(static_cast<size_t>(GetDataSize(width, height, format)));
        for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * 13 + format);
        if (format % 4 == IMAGE_PIXEL_FLOAT) {
            auto* channels = reinterpret_cast<float*>(pixels.data());
            for (size_t i = 0; i < pixels.size() / 4; ++i) channels[i] = static_cast<float>(i % 7) / 6.0f;
        }
        KagWriter single;
        single.Add("pic" + std::to_string(format), width, height, format, pixels.data());
        seeds.Add("format" + std::to_string(format) + ".kag", single.Bytes());
        writer.Add("pic" + std::to_string(format), width, height, format, pixels.data());
    }
    seeds.Add("all.kag", writer.Bytes());
    // A larger compressible picture, so that matches reach across the ring.
    std::vector<uint8_t> stripes(static_cast<size_t>(GetDataSize(64, 40, IMAGE_PIXEL_32_LZSS)));
    for (size_t i = 0; i < stripes.size(); ++i) stripes[i] = static_cast<uint8_t>((i / 96) * 40 + (i & 3));
    KagWriter large;
    large.Add("stripes", 64, 40, IMAGE_PIXEL_32_LZSS, stripes.data());
    seeds.Add("stripes.kag", large.Bytes());
}
