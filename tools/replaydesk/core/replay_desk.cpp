#include "tools/replaydesk/core/replay_desk.h"

#include <utility>

#include "platform/cp932.h"
#include "tools/replaydesk/core/replay_summary.h"

namespace replaydesk {

ReplayDesk::ReplayDesk(FileChooser chooseReplayFile, std::string programFolder)
    : chooseReplayFile_(std::move(chooseReplayFile)), programFolder_(std::move(programFolder)) {}

bool ReplayDesk::Open() {
    const std::optional<std::string> chosen = chooseReplayFile_(programFolder_);
    return chosen && Load(*chosen);
}

bool ReplayDesk::Load(const std::string& path) {
    if (!LoadReplay(path, loadedReplay_)) return false;
    replayPath_ = path;
    replayShown_ = true;
    return true;
}

bool ReplayDesk::Update(std::string_view commentText, bool commentEdited) {
    if (!replayShown_) return false;
    if (commentEdited) StoreReplayComment(loadedReplay_.header, platform::Utf8ToCp932(commentText));
    return SaveReplay(replayPath_, loadedReplay_);
}

std::string ReplayDesk::SummaryText() const {
    if (!replayShown_) return {};
    return platform::Cp932ToUtf8(FormatReplaySummary(loadedReplay_.header));
}

std::string ReplayDesk::CommentText() const {
    if (!replayShown_) return {};
    return platform::Cp932ToUtf8(ExpandNewlines(ReplayComment(loadedReplay_.header)));
}

}  // namespace replaydesk
