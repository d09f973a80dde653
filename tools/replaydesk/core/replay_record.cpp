#include "tools/replaydesk/core/replay_record.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <new>
#include <span>

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

// Reads no more frames than a replay may hold: a larger file is refused
// before it fills the memory.
LoadFailure ReadRecord(const std::string& path, ReplayRecord& record) {
    const platform::FilePtr file = platform::OpenRegularFile(path, REPLAY_MAX_FILE_SIZE);
    if (!file) return OpenFailure(errno);
    std::array<uint8_t, REPLAY_HEADER_SIZE> header;
    if (std::fread(header.data(), 1, header.size(), file.get()) != header.size()) {
        return std::ferror(file.get()) ? LoadFailure::kUnreadable : LoadFailure::kTooShort;
    }
    record.header = ReadReplayHeader(header);
    std::array<uint8_t, REPLAY_FRAME_SIZE> frameBytes;
    while (std::fread(frameBytes.data(), 1, frameBytes.size(), file.get()) == frameBytes.size()) {
        if (record.inputs[0].size() == REPLAY_MAX_FRAMES) return LoadFailure::kTooLarge;
        const ReplayFrame frame = ReadReplayFrame(frameBytes);
        record.inputs[0].push_back(frame.input[0]);
        record.inputs[1].push_back(frame.input[1]);
    }
    return std::ferror(file.get()) ? LoadFailure::kUnreadable : LoadFailure::kNone;
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
