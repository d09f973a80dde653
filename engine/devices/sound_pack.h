#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/audio.h"

// KSD sound pack: the magic "KSD\0", then entries back to back, each a 32-byte
// NUL-terminated name, a u32 dataSize, an 18-byte WAVEFORMATEX and dataSize
// bytes of samples. No index: a key is found by scanning from the start.

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

// Finds `key` in an open pack and leaves the stream at the entry's samples.
// NoData covers a missing key and an entry without sample bytes; Damaged a
// key not found in a damaged pack. Names are compared within their 32 bytes.
KsdLookup FindKsdEntry(std::FILE* file, const char* key, KsdEntry* entry);

// What damage the whole pack shows (no pack, cut short, an entry past its
// end, no sounds), or null; the stream is left at the start of the file.
const char* FindKsdDamage(std::FILE* file);

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
