#include "engine/devices/sound_pack.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr char kKsdMagic[4] = {'K', 'S', 'D', '\0'};

uint16_t GetU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t GetU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
void PutU16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void PutU32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

int64_t FileSize(std::FILE* file) {
    long here = std::ftell(file);
    if (std::fseek(file, 0, SEEK_END) != 0) return -1;
    long size = std::ftell(file);
    std::fseek(file, here, SEEK_SET);
    return size;
}

}  // namespace

platform::WaveFormat DecodeWaveFormat(const uint8_t* bytes, size_t size) {
    uint8_t full[WAVE_FORMAT_SIZE] = {};
    std::memcpy(full, bytes, std::min(size, WAVE_FORMAT_SIZE));
    platform::WaveFormat format;
    format.formatTag = GetU16(full);
    format.channels = GetU16(full + 2);
    format.samplesPerSec = GetU32(full + 4);
    format.avgBytesPerSec = GetU32(full + 8);
    format.blockAlign = GetU16(full + 12);
    format.bitsPerSample = GetU16(full + 14);
    format.cbSize = GetU16(full + 16);
    return format;
}

void EncodeWaveFormat(const platform::WaveFormat& format, uint8_t out[WAVE_FORMAT_SIZE]) {
    PutU16(out, format.formatTag);
    PutU16(out + 2, format.channels);
    PutU32(out + 4, format.samplesPerSec);
    PutU32(out + 8, format.avgBytesPerSec);
    PutU16(out + 12, format.blockAlign);
    PutU16(out + 14, format.bitsPerSample);
    PutU16(out + 16, format.cbSize);
}

namespace {

constexpr size_t kKsdEntryHead = KSD_NAME_SIZE + 4;

// Walks the pack's entries from just after its magic, calling `visit` with
// each entry's position and its name and size head until it returns true;
// the damage met on the way (what no whole pack holds), or null. An entry
// whose data runs past the end of the file is still visited.
template <typename Visit>
const char* WalkKsdEntries(std::FILE* file, int64_t fileSize, Visit visit) {
    // Seek arithmetic in 64 bits: a dataSize near 4 GiB must not wrap.
    int64_t position = 4;
    const char* damage = nullptr;
    uint8_t head[kKsdEntryHead];
    while (position + static_cast<int64_t>(sizeof head) <= fileSize) {
        if (std::fseek(file, static_cast<long>(position), SEEK_SET) != 0 ||
            std::fread(head, 1, sizeof head, file) != sizeof head)
            return "it cannot be read";
        const int64_t end = position + static_cast<int64_t>(sizeof head + WAVE_FORMAT_SIZE) + GetU32(head + KSD_NAME_SIZE);
        if (end > fileSize) damage = "an entry runs past the end of the file";
        if (visit(position, head) || damage) return damage;
        position = end;
    }
    if (position == 4) return "it holds no sounds";
    return position == fileSize ? nullptr : "it is cut short inside an entry";
}

}  // namespace

KsdLookup FindKsdEntry(std::FILE* file, const char* key, KsdEntry* entry) {
    const int64_t fileSize = FileSize(file);
    char magic[4];
    if (std::fread(magic, 1, 4, file) != 4 || std::memcmp(magic, kKsdMagic, 4) != 0)
        return KsdLookup::BadMagic;
    bool found = false;
    entry->damage = WalkKsdEntries(file, fileSize, [&](int64_t position, const uint8_t* head) {
        if (std::strncmp(reinterpret_cast<const char*>(head), key, KSD_NAME_SIZE) != 0) return false;
        found = true;
        uint8_t format[WAVE_FORMAT_SIZE];
        const size_t got = std::fread(format, 1, WAVE_FORMAT_SIZE, file);
        const int64_t samplesStart = position + static_cast<int64_t>(kKsdEntryHead + WAVE_FORMAT_SIZE);
        entry->format = DecodeWaveFormat(format, got);
        entry->dataSize = static_cast<uint32_t>(
            std::clamp<int64_t>(fileSize - samplesStart, 0, GetU32(head + KSD_NAME_SIZE)));
        return true;
    });
    if (!found) return entry->damage ? KsdLookup::Damaged : KsdLookup::NoData;
    return entry->dataSize == 0 ? KsdLookup::NoData : KsdLookup::Found;
}

const char* FindKsdDamage(std::FILE* file) {
    const int64_t fileSize = FileSize(file);
    std::rewind(file);
    char magic[4];
    const char* damage = std::fread(magic, 1, 4, file) != 4 || std::memcmp(magic, kKsdMagic, 4) != 0
                             ? "it is not a sound pack"
                             : WalkKsdEntries(file, fileSize, [](int64_t, const uint8_t*) { return false; });
    std::rewind(file);
    return damage;
}

bool WriteKsdPack(const std::string& path, const std::vector<KsdSound>& sounds) {
    for (const KsdSound& sound : sounds)
        if (sound.name.size() >= KSD_NAME_SIZE) return false;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = std::fwrite(kKsdMagic, 1, 4, file) == 4;
    for (const KsdSound& sound : sounds) {
        uint8_t head[KSD_NAME_SIZE + 4 + WAVE_FORMAT_SIZE] = {};
        std::memcpy(head, sound.name.data(), sound.name.size());
        PutU32(head + KSD_NAME_SIZE, static_cast<uint32_t>(sound.data.size()));
        EncodeWaveFormat(sound.format, head + KSD_NAME_SIZE + 4);
        ok = ok && std::fwrite(head, 1, sizeof head, file) == sizeof head;
        if (!sound.data.empty())
            ok = ok && std::fwrite(sound.data.data(), 1, sound.data.size(), file) == sound.data.size();
    }
    ok = std::fclose(file) == 0 && ok;
    return ok;
}

RiffWave ParseRiffWave(const uint8_t* image, size_t size) {
    RiffWave wave;
    if (size < 12 || std::memcmp(image, "RIFF", 4) != 0 || std::memcmp(image + 8, "WAVE", 4) != 0)
        return wave;
    size_t offset = 12;
    while (size - offset >= 8) {
        const uint8_t* tag = image + offset;
        // A length that runs past the image is cut to what the image holds.
        const size_t length = std::min<size_t>(GetU32(image + offset + 4), size - offset - 8);
        const uint8_t* body = image + offset + 8;
        if (std::memcmp(tag, "fmt ", 4) == 0) {
            // PCM records stop at wBitsPerSample; other tags carry cbSize.
            wave.format = DecodeWaveFormat(body, length);
            if (wave.format.formatTag == platform::WAVE_FORMAT_PCM) wave.format.cbSize = 0;
        } else if (std::memcmp(tag, "data", 4) == 0) {
            wave.samples.assign(body, body + length);
            break;
        }
        offset += 8 + length;
    }
    return wave;
}
