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

    // Tidies what killed saves left beside the game's replays in the
    // program folder's "replay" folder.
    ReplayDesk(FileChooser chooseReplayFile, std::string programFolder);

    // The open button: lets the user choose a file and loads it. False when
    // the user cancelled (failure() empty) or the file was not loaded.
    bool Open();

    // Loads `path` (chosen or dropped) into a temporary record; only when that
    // succeeds does it replace the shown replay and path. False leaves the
    // previous replay shown, so Update never writes it under another name,
    // and failure() says why.
    bool Load(const std::string& path);

    // The update button, with the comment box's text and whether the user
    // changed it. An unchanged comment keeps its stored bytes, so bytes that
    // would not survive a trip through Unicode stay as they are. Does nothing
    // before a replay is shown. True when the file was saved; when it was
    // not, the shown replay keeps the stored comment and failure() says why.
    bool Update(std::string_view commentText, bool commentEdited);

    // Why the last Open, Load or Update failed, for a message to the user;
    // empty after a success or a cancelled file dialog.
    const std::string& failure() const { return failure_; }

    bool replayShown() const { return replayShown_; }
    const std::string& replayPath() const { return replayPath_; }
    const ReplayRecord& loadedReplay() const { return loadedReplay_; }

    // The summary, the stored comment and the path as the dialog shows them
    // (CR LF line ends, which the text boxes take as line breaks).
    std::string SummaryText() const;
    std::string CommentText() const;
    std::string PathText() const;

private:
    FileChooser chooseReplayFile_;
    std::string programFolder_;
    ReplayRecord loadedReplay_;
    std::string replayPath_;
    bool replayShown_ = false;
    std::string failure_;
};

// A file path as the user can read it: each element shown as UTF-8 when it
// is, else as CP932 when it is that, else with every byte that is neither
// UTF-8 nor printable written as \xHH. Control characters show as \xHH too.
std::string DisplayPath(std::string_view path);

}  // namespace replaydesk
