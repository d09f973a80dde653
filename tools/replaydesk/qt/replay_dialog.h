#pragma once
#include <QDialog>

#include "tools/replaydesk/core/replay_desk.h"

class QLineEdit;
class QPlainTextEdit;

// The replay tool's one dialog: the shown file's full path with an open
// button, the fixed summary, the editable comment, update and close. A replay
// file can also be dropped on it. A file that cannot be loaded or saved is
// named in a message box, with the reason.
class ReplayDialog : public QDialog {
public:
    // `chooseReplayFile` replaces the open-file dialog (tests); by default the
    // file dialog of ChooseReplayFile is shown.
    explicit ReplayDialog(replaydesk::ReplayDesk::FileChooser chooseReplayFile = {});

    const replaydesk::ReplayDesk& desk() const { return desk_; }

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildControls();
    void OpenReplay();
    void UpdateComment();
    void ShowReplaySummary();
    void ReportFailure();

    replaydesk::ReplayDesk desk_;
    QLineEdit* path_ = nullptr;
    QPlainTextEdit* summary_ = nullptr;
    QPlainTextEdit* comment_ = nullptr;
};

// The open-file dialog for replay files, owned by `owner`, starting in
// `folder`: the chosen path's bytes, or nothing when cancelled.
std::optional<std::string> ChooseReplayFile(QWidget* owner, const std::string& folder);
