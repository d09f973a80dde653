#pragma once
#include "tools/launcher/core/file_tree.h"
#include "tools/launcher/core/install_record.h"
#include "tools/launcher/core/setup_file.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace launcher {

// A message for the user at the end of an operation. An information comes in
// an OK box with its caption; a failure in the plain message box.
struct Notice {
    enum Kind { kInformation, kFailure };
    Kind kind = kInformation;
    std::string text;
    std::string caption;
};

struct InstallCallbacks {
    // The install folder is missing: may it be created?
    std::function<bool()> confirmCreateFolder;
    // The install folder holds files but no install of this game: may the
    // game be installed into it? The question names the folder.
    std::function<bool(const std::string& question)> confirmFilledFolder;
    // The checks passed and the copy begins.
    std::function<void()> copyStarting;
    TreeProgress progress;
};

struct InstallResult {
    bool installed = false;  // the state "TRUE" is recorded
    Notice notice;
};

// The launcher without its windows: the settings beside it, the install
// record, and install, uninstall and run. `setupDir` holds "Setup.ini" and
// the game's folder to install.
class Launcher {
public:
    explicit Launcher(std::filesystem::path setupDir);

    const SetupFile& setup() const { return setup_; }
    const std::vector<ShortcutEntry>& shortcuts() const { return shortcuts_; }

    bool IsInstalled() const;
    // The refusal to show when the settings cannot be read or "INST_DIR"
    // cannot name the game's folder; the main window shows it too.
    std::optional<Notice> CheckInstDir() const;

    // The install folder proposed at first: the maker's folder in the user's
    // data folder, with the game's folder in it.
    std::filesystem::path DefaultInstallFolder() const;
    // The game's own folder inside a folder the user picked.
    std::filesystem::path InstallFolderIn(const std::filesystem::path& chosen) const;

    // Copies the game into `destination`, writes its shortcuts and records
    // the install. A failure removes again what the install wrote (the
    // shortcuts, the folder it created or the entries it created in a folder
    // that was there), puts the record back as it was, and says why.
    InstallResult Install(const std::filesystem::path& destination, const InstallCallbacks& callbacks);
    // Removes the install and its record; a damaged record is only cleared.
    // Of a folder that was there before the install only what the install
    // put there goes. A refusal (see CheckInstDir) changes nothing.
    Notice Uninstall(const std::function<void()>& entryDone);
    // Starts the first shortcut's target in the install folder; false when
    // nothing could be started (no install, no shortcut listed).
    bool Run() const;

    // The program's title, for its main window and its plain message boxes:
    // the game's, or the program's own name when the settings name no game.
    std::string ProgramTitle() const;

private:
    InstallRecord Record() const { return InstallRecord(setup_.InstDir()); }
    std::filesystem::path SourceFolder() const;
    Notice Refusal(const std::string& detail) const;
    std::optional<Notice> CheckSourceAndDestination(const std::filesystem::path& source,
                                                    const std::filesystem::path& destination) const;
    std::optional<Notice> PrepareFolder(const std::filesystem::path& destination, const InstallCallbacks& callbacks,
                                        std::filesystem::path& firstCreated) const;
    std::string TakeBack(const std::filesystem::path& destination, const CopyReport& copy,
                         const std::filesystem::path& firstCreated, const std::function<void()>& entryDone) const;

    std::filesystem::path setupDir_;
    SetupFile setup_;
    std::vector<ShortcutEntry> shortcuts_;
};

}  // namespace launcher
