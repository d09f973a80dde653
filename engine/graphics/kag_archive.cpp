#include "engine/graphics/kag_archive.h"
#include "engine/core/data_files.h"
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
#include "platform/paths.h"

namespace {

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;

struct EntryHeader {
    char name[KAG_NAME_SIZE];
    uint32_t width;
    uint32_t height;
    uint32_t format;
    uint32_t storedSize;
};

uint32_t ReadU32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

enum class EntryRead { Whole, End, Cut };

// The next entry header: Whole, End at the end of the file, or Cut when the
// file ends inside it.
EntryRead ReadEntryHeader(FILE* f, EntryHeader* h) {
    uint8_t raw[KAG_ENTRY_HEADER_SIZE];
    const size_t got = std::fread(raw, 1, sizeof raw, f);
    if (got == 0) return EntryRead::End;
    if (got != sizeof raw) return EntryRead::Cut;
    std::memcpy(h->name, raw, KAG_NAME_SIZE);
    h->width = ReadU32(raw + 16);
    h->height = ReadU32(raw + 20);
    h->format = ReadU32(raw + 24);
    h->storedSize = ReadU32(raw + 28);
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

int64_t FileSize(FILE* f) {
    if (std::fseek(f, 0, SEEK_END) != 0) return -1;
    long size = std::ftell(f);
    std::rewind(f);
    return size;
}

bool ReadEntryData(FILE* f, const EntryHeader& h, int64_t size, std::vector<uint8_t>* data,
                   ProgressCallback progress) {
    data->assign(static_cast<size_t>(size), 0);
    if (!IsCompressedFormat(static_cast<int>(h.format)))
        return std::fread(data->data(), 1, data->size(), f) == data->size();
    std::vector<uint8_t> packed(h.storedSize);
    if (std::fread(packed.data(), 1, packed.size(), f) != packed.size()) return false;
    ReportProgress(progress);
    LzssDecode(packed.data(), packed.size(), data->data(), data->size(), nullptr);
    return true;
}

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
                         std::vector<uint8_t>* data, int* format, ProgressCallback progress) {
    File f(platform::OpenRegularFile(platform::ResolvePath(archive)).release());
    if (!f) {
        ReportUnusableDataFile(archive, DataFileOpenFailure(errno));
        return 0;
    }
    const auto damaged = [archive](std::string_view what) {
        ReportUnusableDataFile(archive, std::string("is damaged: ").append(what));
        return int64_t{0};
    };
    int64_t fileSize = FileSize(f.get());
    uint8_t head[KAG_FILE_HEADER_SIZE];
    if (std::fread(head, 1, sizeof head, f.get()) != sizeof head ||
        std::memcmp(head, KAG_MAGIC, sizeof KAG_MAGIC) != 0) {
        return damaged("it is not a picture archive");
    }
    // The first look goes through the whole archive; entries before damage
    // still load.
    if (FirstLookAtDataFile(archive)) {
        if (const char* damage = WalkEntries(f.get(), fileSize, nullptr, nullptr)) damaged(damage);
        std::fseek(f.get(), KAG_FILE_HEADER_SIZE, SEEK_SET);
    }
    ReportProgress(progress);
    EntryHeader h;
    bool found = false;
    const char* damage = WalkEntries(f.get(), fileSize, progress, [&](const EntryHeader& entry) {
        found = NameMatches(entry.name, key);
        if (found) h = entry;
        return found;
    });
    if (!found) return damage ? damaged(damage) : 0;
    if (!EntryIsValid(h, fileSize - std::ftell(f.get()))) {
        return damaged(std::string("the entry \"") + key + "\" is no picture");
    }
    int64_t size = GetDataSize(h.width, h.height, static_cast<int>(h.format));
    if (width) *width = static_cast<int>(h.width);
    if (height) *height = static_cast<int>(h.height);
    if (format) *format = static_cast<int>(h.format);
    ReportProgress(progress);
    if (data) {
        if (!ReadEntryData(f.get(), h, size, data, progress)) {
            return damaged(std::string("the entry \"") + key + "\" cannot be read");
        }
        ReportProgress(progress);
    }
    return size;
}

KagWriter::KagWriter() {
    bytes_.assign(KAG_MAGIC, KAG_MAGIC + sizeof KAG_MAGIC);
    PutU32(bytes_, 0);
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
    PutU32(entry, static_cast<uint32_t>(width));
    PutU32(entry, static_cast<uint32_t>(height));
    PutU32(entry, static_cast<uint32_t>(format));
    PutU32(entry, static_cast<uint32_t>(stored.size()));
    entry.insert(entry.end(), stored.begin(), stored.end());
    return entry;
}

bool KagWriter::WriteFile(const std::string& path) const {
    File f(std::fopen(path.c_str(), "wb"));
    if (!f) return false;
    bool written = std::fwrite(bytes_.data(), 1, bytes_.size(), f.get()) == bytes_.size();
    return std::fclose(f.release()) == 0 && written;
}
