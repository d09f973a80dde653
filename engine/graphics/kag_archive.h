#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/resource.h"
#include "platform/zeroed_bytes.h"

// Pixel formats of archive entries: four layouts of B, G, R, A, each stored
// raw (0-3) or LZSS-compressed (4-7).
enum ImagePixelFormat : int32_t {
    IMAGE_PIXEL_16 = 0,     // one word: bits 12-15 B, 8-11 G, 4-7 R, 0-3 A
    IMAGE_PIXEL_32 = 1,     // bytes B, G, R, A
    IMAGE_PIXEL_64 = 2,     // four 16-bit words B, G, R, A
    IMAGE_PIXEL_FLOAT = 3,  // four floats B, G, R, A, 0.0 to 1.0
    IMAGE_PIXEL_16_LZSS = 4,
    IMAGE_PIXEL_32_LZSS = 5,
    IMAGE_PIXEL_64_LZSS = 6,
    IMAGE_PIXEL_FLOAT_LZSS = 7,
};

inline constexpr char KAG_MAGIC[4] = {'K', 'A', 'G', '\0'};
inline constexpr int KAG_FILE_HEADER_SIZE = 8;
inline constexpr int KAG_ENTRY_HEADER_SIZE = 32;
inline constexpr int KAG_NAME_SIZE = 16;
// Entries with a wider or taller picture are taken as damaged.
inline constexpr int KAG_MAX_SIDE = 16384;

// Unpacked byte count of a picture: width x height x {2, 4, 8, 16}[format mod
// 4] for formats 0-7, 0 for any other format or a negative side.
int64_t GetDataSize(int64_t width, int64_t height, int format);
bool IsCompressedFormat(int format);

// Looks the entry `key` up in the archive file (first match wins, names
// compared exactly within their 16 bytes, so keys of up to 16 characters) and returns its unpacked byte count,
// 0 when the file is no archive, the key is missing or the entry is damaged
// (a side above KAG_MAX_SIDE, an unknown format, data running past the end of
// the file, or an LZSS stream too short for the picture). Each output pointer
// may be null; with data null only the entry header is read, otherwise data
// receives the unpacked bytes. The path is a Windows path (backslashes,
// letter case ignored where the exact name is missing). An archive that
// cannot be opened, or whose damage the lookup meets (no archive, no entries,
// cut short, an entry past the end of the file, the entry itself damaged), is
// named on standard error once (ReportUnusableDataFile).
int64_t ReadArchiveEntry(const char* archive, const char* key, int* width, int* height,
                         platform::ZeroedBytes* data, int* format, ProgressCallback progress);

// Builds archive files; entries of formats 4-7 are compressed on the way in.
class KagWriter {
public:
    KagWriter();
    // pixels holds GetDataSize(width, height, format) unpacked bytes. Names of
    // more than 16 characters are cut.
    void Add(const std::string& name, int width, int height, int format, const void* pixels);
    // The bytes that Add appends for one entry, made apart (on other threads)
    // and appended in their order with AddEntry.
    static std::vector<uint8_t> MakeEntry(const std::string& name, int width, int height, int format,
                                          const void* pixels);
    void AddEntry(const std::vector<uint8_t>& entry) { bytes_.insert(bytes_.end(), entry.begin(), entry.end()); }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }
    bool WriteFile(const std::string& path) const;

private:
    std::vector<uint8_t> bytes_;
};
