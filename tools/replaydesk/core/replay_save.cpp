// Saving a replay as every program of the game saves its files.
#include <filesystem>

#include "platform/safe_file.h"
#include "tools/replaydesk/core/replay_record.h"

namespace replaydesk {

// A link is taken for the file it names (the user chose it in the dialog).
SaveResult SaveReplay(const std::string& path, const ReplayRecord& record) {
    std::error_code ec;
    std::filesystem::path target(path);
    if (std::filesystem::is_symlink(target, ec)) {
        target = std::filesystem::canonical(target, ec);
        if (ec) return {ec.value()};
    }
    return {platform::SaveFile(target.string(), ReplayFileBytes(record))};
}

}  // namespace replaydesk
