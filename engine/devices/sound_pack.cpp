#include "engine/devices/sound_pack.h"

#include <algorithm>
#include <cstring>

#include "platform/file_index_cache.h"
#include "platform/little_endian.h"

namespace {

constexpr char kKsdMagic[4] = {'K', 'S', 'D', '\0'};

using platform::ReadLe16;
using platform::ReadLe32;
using platform::WriteLe16;
using platform::WriteLe32;

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
    format.formatTag = ReadLe16(full);
    format.channels = ReadLe16(full + 2);
    format.samplesPerSec = ReadLe32(full + 4);
    format.avgBytesPerSec = ReadLe32(full + 8);
    format.blockAlign = ReadLe16(full + 12);
    format.bitsPerSample = ReadLe16(full + 14);
    format.cbSize = ReadLe16(full + 16);
    return format;
}

void EncodeWaveFormat(const platform::WaveFormat& format, uint8_t out[WAVE_FORMAT_SIZE]) {
    WriteLe16(out, format.formatTag);
    WriteLe16(out + 2, format.channels);
    WriteLe32(out + 4, format.samplesPerSec);
    WriteLe32(out + 8, format.avgBytesPerSec);
    WriteLe16(out + 12, format.blockAlign);
    WriteLe16(out + 14, format.bitsPerSample);
    WriteLe16(out + 16, format.cbSize);
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
        const int64_t end = position + static_cast<int64_t>(sizeof head + WAVE_FORMAT_SIZE) + ReadLe32(head + KSD_NAME_SIZE);
        if (end > fileSize) damage = "an entry runs past the end of the file";
        if (visit(position, head) || damage) return damage;
        position = end;
    }
    if (position == 4) return "it holds no sounds";
    return position == fileSize ? nullptr : "it is cut short inside an entry";
}

}  // namespace

KsdIndex IndexKsdPack(std::FILE* file) {
    KsdIndex index;
    index.fileSize = FileSize(file);
    std::rewind(file);
    char magic[4];
    if (std::fread(magic, 1, 4, file) != 4 || std::memcmp(magic, kKsdMagic, 4) != 0) {
        index.damage = "it is not a sound pack";
        return index;
    }
    index.isPack = true;
    index.damage = WalkKsdEntries(file, index.fileSize, [&](int64_t position, const uint8_t* head) {
        KsdIndex::Entry& entry = index.entries.emplace_back();
        std::memcpy(entry.name, head, KSD_NAME_SIZE);
        entry.position = position;
        entry.dataSize = ReadLe32(head + KSD_NAME_SIZE);
        return false;
    });
    return index;
}

KsdLookup FindKsdEntry(std::FILE* file, const KsdIndex& index, const char* key, KsdEntry* entry) {
    if (!index.isPack) return KsdLookup::BadMagic;
    const auto found = std::find_if(index.entries.begin(), index.entries.end(), [key](const KsdIndex::Entry& e) {
        return std::strncmp(e.name, key, KSD_NAME_SIZE) == 0;
    });
    if (found == index.entries.end()) {
        entry->damage = index.damage;
        return index.damage ? KsdLookup::Damaged : KsdLookup::NoData;
    }
    const int64_t formatStart = found->position + static_cast<int64_t>(kKsdEntryHead);
    const int64_t samplesStart = formatStart + static_cast<int64_t>(WAVE_FORMAT_SIZE);
    // An entry running past the end of the file ended the walk, so the
    // damage is its own.
    entry->damage = samplesStart + found->dataSize > index.fileSize ? index.damage : nullptr;
    uint8_t format[WAVE_FORMAT_SIZE];
    const size_t got = std::fseek(file, static_cast<long>(formatStart), SEEK_SET) == 0
                           ? std::fread(format, 1, WAVE_FORMAT_SIZE, file)
                           : 0;
    entry->format = DecodeWaveFormat(format, got);
    entry->dataSize = static_cast<uint32_t>(std::clamp<int64_t>(index.fileSize - samplesStart, 0, found->dataSize));
    return entry->dataSize == 0 ? KsdLookup::NoData : KsdLookup::Found;
}

KsdLookup FindKsdEntry(std::FILE* file, const char* key, KsdEntry* entry) {
    return FindKsdEntry(file, IndexKsdPack(file), key, entry);
}

std::shared_ptr<const KsdIndex> KsdPackIndex(const std::string& path, std::FILE* file) {
    static platform::FileIndexCache<KsdIndex> indices;
    platform::FileVersion version;
    if (!platform::VersionOf(file, &version)) return std::make_shared<const KsdIndex>(IndexKsdPack(file));
    return indices.Get(path, version, [file] { return IndexKsdPack(file); });
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
        WriteLe32(head + KSD_NAME_SIZE, static_cast<uint32_t>(sound.data.size()));
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
        const size_t length = std::min<size_t>(ReadLe32(image + offset + 4), size - offset - 8);
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
