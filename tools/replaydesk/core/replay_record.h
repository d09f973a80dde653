#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "game/flow/replay_header.h"

namespace replaydesk {

// A replay in memory: the header as read, and one InputWord per side for each
// complete frame record (index 0 side 0, index 1 side 1, always equally long).
struct ReplayRecord {
    ReplayHeader header;
    std::vector<uint16_t> inputs[2];
};

// Why a replay file was not loaded.
enum class LoadFailure {
    kNone,
    kMissing,     // no such file
    kDenied,      // the user may not read it
    kNotAFile,    // a folder, a FIFO, a device
    kTooLarge,    // more frames than the longest battle records
    kTooShort,    // shorter than a header
    kUnreadable,  // a read error
};

struct LoadResult {
    LoadFailure failure = LoadFailure::kNone;
    explicit operator bool() const { return failure == LoadFailure::kNone; }
};

// Reads a whole replay file into `out`. Any file of at least a header is taken,
// whatever its format id; a trailing part of a frame record is dropped. A file
// larger than the longest replay is refused before anything is read. On
// failure `out` is left as it was.
LoadResult LoadReplay(const std::string& path, ReplayRecord& out);

// The file image of `record`: the header, then the frame records.
std::vector<uint8_t> ReplayFileBytes(const ReplayRecord& record);

struct SaveResult {
    int error = 0;  // 0 when saved, else an errno value
    explicit operator bool() const { return error == 0; }
};

// Writes `record` to `path` (through a symbolic link to its target) with the
// save decision all the game's programs share (platform::SaveFile): a replay
// whose permissions do not let this user write it stays as it is (EACCES),
// even for the superuser; one that a new file could not stand in for is
// written in place; any other is replaced whole, so a failed save leaves the
// original intact.
SaveResult SaveReplay(const std::string& path, const ReplayRecord& record);

}  // namespace replaydesk
