#include "tools/replaydesk/core/replay_record.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <new>
#include <span>
#include <sys/stat.h>

#include "platform/safe_file.h"

namespace replaydesk {
namespace {

LoadFailure OpenFailure(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
        case ELOOP:
            return LoadFailure::kMissing;
        case EACCES:
        case EPERM:
            return LoadFailure::kDenied;
        case EINVAL:
        case EISDIR:
            return LoadFailure::kNotAFile;
        case EFBIG:
            return LoadFailure::kTooLarge;
        default:
            return LoadFailure::kUnreadable;
    }
}

// Appends the frame records up to the end of `file`; a trailing part of a
// record is dropped. Reads no more frames than a replay may hold.
LoadFailure ReadFrames(std::FILE* file, ReplayRecord& record) {
    std::array<uint8_t, REPLAY_FRAME_SIZE * 4096> chunk;
    size_t got;
    // Only the last read of a regular file comes short, so a record is never
    // split across two reads.
    while ((got = std::fread(chunk.data(), 1, chunk.size(), file)) >= REPLAY_FRAME_SIZE) {
        const size_t frames = got / REPLAY_FRAME_SIZE;
        if (record.inputs[0].size() + frames > REPLAY_MAX_FRAMES) return LoadFailure::kTooLarge;
        for (size_t i = 0; i < frames; ++i) {
            const auto bytes = std::span(chunk).subspan(i * REPLAY_FRAME_SIZE).first<REPLAY_FRAME_SIZE>();
            const ReplayFrame frame = ReadReplayFrame(bytes);
            record.inputs[0].push_back(frame.input[0]);
            record.inputs[1].push_back(frame.input[1]);
        }
    }
    return std::ferror(file) ? LoadFailure::kUnreadable : LoadFailure::kNone;
}

// The file is refused from its size when it holds more than a replay may,
// before anything fills the memory.
LoadFailure ReadRecord(const std::string& path, ReplayRecord& record) {
    const platform::FilePtr file = platform::OpenRegularFile(path, REPLAY_MAX_FILE_SIZE);
    if (!file) return OpenFailure(errno);
    std::array<uint8_t, REPLAY_HEADER_SIZE> header;
    if (std::fread(header.data(), 1, header.size(), file.get()) != header.size()) {
        return std::ferror(file.get()) ? LoadFailure::kUnreadable : LoadFailure::kTooShort;
    }
    record.header = ReadReplayHeader(header);
    if (struct stat info {}; ::fstat(::fileno(file.get()), &info) == 0 && info.st_size >= off_t{REPLAY_HEADER_SIZE}) {
        const size_t frames = (static_cast<size_t>(info.st_size) - REPLAY_HEADER_SIZE) / REPLAY_FRAME_SIZE;
        for (auto& side : record.inputs) side.reserve(std::min(frames, REPLAY_MAX_FRAMES));
    }
    return ReadFrames(file.get(), record);
}

}  // namespace

LoadResult LoadReplay(const std::string& path, ReplayRecord& out) {
    ReplayRecord record;
    try {
        if (const LoadFailure failure = ReadRecord(path, record); failure != LoadFailure::kNone) return {failure};
    } catch (const std::bad_alloc&) {
        return {LoadFailure::kTooLarge};
    }
    out = std::move(record);
    return {};
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

}  // namespace replaydesk
