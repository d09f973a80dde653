#include "engine/graphics/kag_archive.h"
#include "engine/core/data_files.h"
#include "platform/file_index_cache.h"
#include "platform/safe_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "engine/graphics/lzss.h"
#include "platform/little_endian.h"
#include "platform/paths.h"

namespace {

struct EntryHeader {
    char name[KAG_NAME_SIZE];
    uint32_t width;
    uint32_t height;
    uint32_t format;
    uint32_t storedSize;
};

using platform::AppendLe32;
using platform::ReadLe32;

enum class EntryRead { Whole, End, Cut };

// The next entry header: Whole, End at the end of the file, or Cut when the
// file ends inside it.
EntryRead ReadEntryHeader(FILE* f, EntryHeader* h) {
    uint8_t raw[KAG_ENTRY_HEADER_SIZE];
    const size_t got = std::fread(raw, 1, sizeof raw, f);
    if (got == 0) return EntryRead::End;
    if (got != sizeof raw) return EntryRead::Cut;
    std::memcpy(h->name, raw, KAG_NAME_SIZE);
    h->width = ReadLe32(raw + 16);
    h->height = ReadLe32(raw + 20);
    h->format = ReadLe32(raw + 24);
    h->storedSize = ReadLe32(raw + 28);
    return EntryRead::Whole;
}

// A name fills its field up to a NUL or, at 16 characters, the whole field
// (the game asks for such keys, "select_stagename" among them).
bool NameMatches(const char (&name)[KAG_NAME_SIZE], const char* key) {
    size_t length = strnlen(name, KAG_NAME_SIZE);
    return std::strlen(key) == length && std::memcmp(name, key, length) == 0;
}

// Walks the entry headers from the stream's position to the end of the
// file, calling `visit` (when given) with each entry whose data lies inside
// the file, the stream then at its data; `visit` returns true to stop there.
// The damage met on the way (what no whole archive holds), or null.
const char* WalkEntries(FILE* f, int64_t fileSize, ProgressCallback progress,
                        const std::function<bool(const EntryHeader&)>& visit) {
    EntryHeader h;
    for (int entries = 0;; ++entries) {
        switch (ReadEntryHeader(f, &h)) {
        case EntryRead::End: return entries == 0 ? "it holds no pictures" : nullptr;
        case EntryRead::Cut: return "it is cut short inside an entry";
        case EntryRead::Whole: break;
        }
        if (h.storedSize > fileSize - std::ftell(f)) return "an entry runs past the end of the file";
        if (visit && visit(h)) return nullptr;
        std::fseek(f, h.storedSize, SEEK_CUR);
        ReportProgress(progress);
    }
}

// Rejects what cannot be a picture of this file: absurd sides, unknown
// formats, data that would run past the end of the file, or an LZSS stream
// too short to hold the picture.
bool EntryIsValid(const EntryHeader& h, int64_t bytesLeft) {
    if (h.width > KAG_MAX_SIDE || h.height > KAG_MAX_SIDE) return false;
    if (h.format > IMAGE_PIXEL_FLOAT_LZSS) return false;
    int64_t size = GetDataSize(h.width, h.height, static_cast<int>(h.format));
    if (static_cast<int64_t>(h.storedSize) > bytesLeft) return false;
    if (IsCompressedFormat(static_cast<int>(h.format)))
        return static_cast<uint64_t>(size) <= LzssMaxDecodedSize(h.storedSize);
    return size <= static_cast<int64_t>(h.storedSize);
}

// The bytes are read or decoded straight into fresh storage: a short read
// fails, and LzssDecode writes every byte of its target.
bool ReadEntryData(FILE* f, const EntryHeader& h, int64_t size, platform::ZeroedBytes* data,
                   ProgressCallback progress) {
    *data = platform::ZeroedBytes(static_cast<size_t>(size));
    if (!IsCompressedFormat(static_cast<int>(h.format)))
        return std::fread(data->data(), 1, data->size(), f) == data->size();
    const auto packed = std::make_unique_for_overwrite<uint8_t[]>(h.storedSize);
    if (std::fread(packed.get(), 1, h.storedSize, f) != h.storedSize) return false;
    ReportProgress(progress);
    LzssDecode(packed.get(), h.storedSize, data->data(), data->size(), nullptr);
    return true;
}

// An archive's entry chain as one walk from its start finds it: the entries
// whose data lies inside the file, in file order, and the damage that ended
// the walk (or null).
struct ArchiveIndex {
    struct Entry {
        EntryHeader header;
        int64_t dataOffset;
    };
    std::vector<Entry> entries;
    const char* damage = nullptr;
};

// Walks the whole chain once; the stream is left anywhere.
ArchiveIndex IndexArchive(FILE* f, int64_t fileSize, ProgressCallback progress) {
    ArchiveIndex index;
    std::fseek(f, KAG_FILE_HEADER_SIZE, SEEK_SET);
    index.damage = WalkEntries(f, fileSize, progress, [&](const EntryHeader& h) {
        index.entries.push_back({h, std::ftell(f)});
        return false;
    });
    return index;
}

platform::FileIndexCache<ArchiveIndex> archiveIndices;

}  // namespace

int64_t GetDataSize(int64_t width, int64_t height, int format) {
    static constexpr int64_t BYTES_PER_PIXEL[4] = {2, 4, 8, 16};
    if (format < 0 || format > IMAGE_PIXEL_FLOAT_LZSS || width < 0 || height < 0) return 0;
    return width * height * BYTES_PER_PIXEL[format % 4];
}

bool IsCompressedFormat(int format) {
    return format >= IMAGE_PIXEL_16_LZSS && format <= IMAGE_PIXEL_FLOAT_LZSS;
}

int64_t ReadArchiveEntry(const char* archive, const char* key, int* width, int* height,
                         platform::ZeroedBytes* data, int* format, ProgressCallback progress) {
    const std::string path = platform::ResolvePath(archive);
    platform::FilePtr f = platform::OpenRegularFile(path);
    if (!f) {
        ReportUnusableDataFile(archive, DataFileOpenFailure(errno));
        return 0;
    }
    const auto damaged = [archive](std::string_view what) {
        ReportUnusableDataFile(archive, std::string("is damaged: ").append(what));
        return int64_t{0};
    };
    platform::FileVersion version;
    uint8_t head[KAG_FILE_HEADER_SIZE];
    if (!platform::VersionOf(f.get(), &version) || std::fread(head, 1, sizeof head, f.get()) != sizeof head ||
        std::memcmp(head, KAG_MAGIC, sizeof KAG_MAGIC) != 0) {
        return damaged("it is not a picture archive");
    }
    const std::shared_ptr<const ArchiveIndex> index = archiveIndices.Get(
        path, version, [&] { return IndexArchive(f.get(), version.size, progress); });
    // The first look names the damage anywhere in the archive; entries before
    // it still load.
    if (FirstLookAtDataFile(archive) && index->damage) damaged(index->damage);
    ReportProgress(progress);
    const auto entry = std::find_if(index->entries.begin(), index->entries.end(),
                                    [key](const ArchiveIndex::Entry& e) { return NameMatches(e.header.name, key); });
    if (entry == index->entries.end()) return index->damage ? damaged(index->damage) : 0;
    const EntryHeader& h = entry->header;
    if (!EntryIsValid(h, version.size - entry->dataOffset)) {
        return damaged(std::string("the entry \"") + key + "\" is no picture");
    }
    int64_t size = GetDataSize(h.width, h.height, static_cast<int>(h.format));
    if (width) *width = static_cast<int>(h.width);
    if (height) *height = static_cast<int>(h.height);
    if (format) *format = static_cast<int>(h.format);
    ReportProgress(progress);
    if (data) {
        if (std::fseek(f.get(), entry->dataOffset, SEEK_SET) != 0 || !ReadEntryData(f.get(), h, size, data, progress)) {
            return damaged(std::string("the entry \"") + key + "\" cannot be read");
        }
        ReportProgress(progress);
    }
    return size;
}

KagWriter::KagWriter() {
    bytes_.assign(KAG_MAGIC, KAG_MAGIC + sizeof KAG_MAGIC);
    AppendLe32(bytes_, 0);
}

void KagWriter::Add(const std::string& name, int width, int height, int format, const void* pixels) {
    AddEntry(MakeEntry(name, width, height, format, pixels));
}

std::vector<uint8_t> KagWriter::MakeEntry(const std::string& name, int width, int height, int format,
                                          const void* pixels) {
    uint8_t field[KAG_NAME_SIZE] = {};
    std::memcpy(field, name.data(), std::min<size_t>(name.size(), KAG_NAME_SIZE));
    size_t size = static_cast<size_t>(GetDataSize(width, height, format));
    const auto* raw = static_cast<const uint8_t*>(pixels);
    std::vector<uint8_t> stored = IsCompressedFormat(format) ? LzssEncode(raw, size)
                                                             : std::vector<uint8_t>(raw, raw + size);
    std::vector<uint8_t> entry(field, field + KAG_NAME_SIZE);
    AppendLe32(entry, static_cast<uint32_t>(width));
    AppendLe32(entry, static_cast<uint32_t>(height));
    AppendLe32(entry, static_cast<uint32_t>(format));
    AppendLe32(entry, static_cast<uint32_t>(stored.size()));
    entry.insert(entry.end(), stored.begin(), stored.end());
    return entry;
}

bool KagWriter::WriteFile(const std::string& path) const {
    platform::FilePtr f(std::fopen(path.c_str(), "wb"));
    if (!f) return false;
    bool written = std::fwrite(bytes_.data(), 1, bytes_.size(), f.get()) == bytes_.size();
    return std::fclose(f.release()) == 0 && written;
}
