#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio.h"

// KSD sound pack: the magic "KSD\0", then entries back to back, each a 32-byte
// NUL-terminated name, a u32 dataSize, an 18-byte WAVEFORMATEX and dataSize
// bytes of samples. The file holds no index: a key is found by walking from the
// start.

constexpr size_t KSD_NAME_SIZE = 32;
constexpr size_t WAVE_FORMAT_SIZE = 18;

enum class KsdLookup { Found, BadMagic, NoData, Damaged };

struct KsdEntry {
    platform::WaveFormat format;
    uint32_t dataSize = 0;  // capped by the bytes the file really holds
    // What the scan met that no whole pack holds (the pack is cut short, an
    // entry runs past its end, it holds no sounds), or null. An entry found
    // before the damage, or cut by it, is still found.
    const char* damage = nullptr;
};

// One walk through a whole pack: its entries in file order, up to and with
// the first that runs past the end of the file, and the damage the walk met
// (no pack, cut short, an entry past its end, no sounds), or null.
struct KsdIndex {
    struct Entry {
        char name[KSD_NAME_SIZE];  // as stored, NUL-terminated only when shorter
        int64_t position;          // of the entry's name
        uint32_t dataSize;         // as stored
    };
    bool isPack = false;  // the magic is right
    int64_t fileSize = 0;
    std::vector<Entry> entries;
    const char* damage = nullptr;
};
KsdIndex IndexKsdPack(std::FILE* file);

// The index of the pack open as `file` at `path`, walked once while the file
// keeps its version (platform::FileIndexCache).
std::shared_ptr<const KsdIndex> KsdPackIndex(const std::string& path, std::FILE* file);

// Finds `key` in an open pack and leaves the stream at the entry's samples.
// NoData covers a missing key and an entry without sample bytes; Damaged a
// key not found in a damaged pack. Names are compared within their 32 bytes.
// The first form takes the pack's index, the second walks the pack itself.
KsdLookup FindKsdEntry(std::FILE* file, const KsdIndex& index, const char* key, KsdEntry* entry);
KsdLookup FindKsdEntry(std::FILE* file, const char* key, KsdEntry* entry);

struct KsdSound {
    std::string name;  // at most 31 bytes
    platform::WaveFormat format;
    std::vector<uint8_t> data;
};

// Writes a whole pack; false when the file cannot be written or a name does
// not fit its 32 bytes.
bool WriteKsdPack(const std::string& path, const std::vector<KsdSound>& sounds);

// The 18 little-endian bytes of a WAVEFORMATEX; reading takes what `size`
// bytes hold and leaves the rest 0.
platform::WaveFormat DecodeWaveFormat(const uint8_t* bytes, size_t size);
void EncodeWaveFormat(const platform::WaveFormat& format, uint8_t out[WAVE_FORMAT_SIZE]);

// A RIFF WAVE image taken apart: the format of its last "fmt " chunk before
// the first "data" chunk, and that chunk's body (empty when the image is not
// RIFF/WAVE or has no data chunk). Chunk lengths are bounded by the image.
struct RiffWave {
    platform::WaveFormat format;
    std::vector<uint8_t> samples;
};
RiffWave ParseRiffWave(const uint8_t* image, size_t size);
