#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "tools/replaydesk/core/replay_record.h"

namespace replaydesk {

// What the replay tool's dialog does, without the widgets: the shown file, its
// summary and comment, opening, dropping and updating. Texts towards the
// dialog are UTF-8, the widget toolkit's encoding; the replay keeps CP932.
class ReplayDesk {
public:
    // Shows the open-file dialog in `folder`; the chosen path, or nothing
    // when the user cancelled.
    using FileChooser = std::function<std::optional<std::string>(const std::string& folder)>;

    ReplayDesk(FileChooser chooseReplayFile, std::string programFolder);

    // The open button: lets the user choose a file and loads it.
    bool Open();

    // Loads `path` (chosen or dropped) into a temporary record; only when that
    // succeeds does it replace the shown replay and path. False leaves the
    // previous replay shown, so Update never writes it under another name.
    bool Load(const std::string& path);

    // The update button, with the comment box's text and whether the user
    // changed it. An unchanged comment keeps its stored bytes, so bytes that
    // would not survive a trip through Unicode stay as they are. Does nothing
    // before a replay is shown. True when the file was saved.
    bool Update(std::string_view commentText, bool commentEdited);

    bool replayShown() const { return replayShown_; }
    const std::string& replayPath() const { return replayPath_; }
    const ReplayRecord& loadedReplay() const { return loadedReplay_; }

    // The summary and the stored comment as the dialog shows them (CR LF line
    // ends, which the text boxes take as line breaks).
    std::string SummaryText() const;
    std::string CommentText() const;

private:
    FileChooser chooseReplayFile_;
    std::string programFolder_;
    ReplayRecord loadedReplay_;
    std::string replayPath_;
    bool replayShown_ = false;
};

}  // namespace replaydesk
