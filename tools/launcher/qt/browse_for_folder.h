#pragma once
#include <functional>
#include <string>

class QWidget;

namespace launcher {

// Lets the user pick a folder in a modal folder dialog. `Folder` follows the
// selection while the dialog is open (without a trailing separator, except
// for the root) and holds the chosen folder after Execute.
class BrowseForFolder {
public:
    explicit BrowseForFolder(QWidget* owner) : owner_(owner) {}

    std::string Title;       // the dialog's caption
    std::string InitialDir;  // selected when the dialog opens; empty: the dialog's own choice
    std::string Folder;

    std::function<void(bool& canClose)> OnCanClose;  // may veto the OK button
    std::function<void()> OnShow;
    std::function<void()> OnClose;
    std::function<void()> OnSelectionChange;

    // True when a folder was chosen. After a cancel, Folder keeps the last
    // selection.
    bool Execute();

private:
    QWidget* owner_;
};

}  // namespace launcher
