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

// Reads a whole replay file into `out`. Any file of at least a header is taken,
// whatever its format id; a trailing part of a frame record is dropped. False,
// with `out` left as it was, when the file cannot be read or is shorter than a
// header.
bool LoadReplay(const std::string& path, ReplayRecord& out);

// The file image of `record`: the header, then the frame records.
std::vector<uint8_t> ReplayFileBytes(const ReplayRecord& record);

// Writes `record` to `path` (through a symbolic link to its target). The bytes
// go to a temporary file in the same folder, which replaces the original only
// after every write and the close succeeded, so a failed save leaves the
// original intact. True when the file was replaced.
bool SaveReplay(const std::string& path, const ReplayRecord& record);

}  // namespace replaydesk
