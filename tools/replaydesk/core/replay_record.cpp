#include "tools/replaydesk/core/replay_record.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <new>
#include <span>

namespace replaydesk {
namespace {

namespace fs = std::filesystem;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool ReadRecord(const std::string& path, ReplayRecord& record) {
    File file(std::fopen(path.c_str(), "rb"));
    if (!file) return false;
    std::array<uint8_t, REPLAY_HEADER_SIZE> header;
    if (std::fread(header.data(), 1, header.size(), file.get()) != header.size()) return false;
    record.header = ReadReplayHeader(header);
    std::array<uint8_t, REPLAY_FRAME_SIZE> frameBytes;
    while (std::fread(frameBytes.data(), 1, frameBytes.size(), file.get()) == frameBytes.size()) {
        const ReplayFrame frame = ReadReplayFrame(frameBytes);
        record.inputs[0].push_back(frame.input[0]);
        record.inputs[1].push_back(frame.input[1]);
    }
    return !std::ferror(file.get());
}

// A new file beside `target` that no other file has the name of.
File CreateTemporaryBeside(const fs::path& target, fs::path& temporary) {
    for (int n = 0; n < 100; ++n) {
        temporary = target.parent_path() / ("." + target.filename().string() + ".save" + std::to_string(n));
        if (File file{std::fopen(temporary.c_str(), "wbx")}) return file;
        if (errno != EEXIST) break;
    }
    return nullptr;
}

bool WriteAndClose(File file, const std::vector<uint8_t>& bytes) {
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    return (std::fclose(file.release()) == 0) && written;
}

}  // namespace

bool LoadReplay(const std::string& path, ReplayRecord& out) {
    ReplayRecord record;
    try {
        if (!ReadRecord(path, record)) return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
    out = std::move(record);
    return true;
}

std::vector<uint8_t> ReplayFileBytes(const ReplayRecord& record) {
    const size_t frames = std::min(record.inputs[0].size(), record.inputs[1].size());
    std::vector<uint8_t> bytes(REPLAY_HEADER_SIZE + REPLAY_FRAME_SIZE * frames);
    WriteReplayHeader(record.header, std::span(bytes).first<REPLAY_HEADER_SIZE>());
    for (size_t i = 0; i < frames; ++i) {
        const ReplayFrame frame{{record.inputs[0][i], record.inputs[1][i]}};
        WriteReplayFrame(frame, std::span(bytes).subspan(REPLAY_HEADER_SIZE + REPLAY_FRAME_SIZE * i)
                                    .first<REPLAY_FRAME_SIZE>());
    }
    return bytes;
}

bool SaveReplay(const std::string& path, const ReplayRecord& record) {
    std::error_code ec;
    fs::path target(path);
    if (fs::is_symlink(target, ec)) {
        target = fs::canonical(target, ec);
        if (ec) return false;
    }
    fs::path temporary;
    File file = CreateTemporaryBeside(target, temporary);
    if (!file) return false;
    bool saved = WriteAndClose(std::move(file), ReplayFileBytes(record));
    if (saved) {
        // Keep the original's permissions; a file mode is no reason to fail.
        const fs::file_status original = fs::status(target, ec);
        if (!ec && fs::exists(original)) fs::permissions(temporary, original.permissions(), ec);
        fs::rename(temporary, target, ec);
        saved = !ec;
    }
    if (!saved) fs::remove(temporary, ec);
    return saved;
}

}  // namespace replaydesk
