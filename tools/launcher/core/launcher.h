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
    // The refusal to show when "INST_DIR" cannot name the game's folder.
    std::optional<Notice> CheckInstDir() const;

    // The install folder proposed at first: the maker's folder in the user's
    // data folder, with the game's folder in it.
    std::filesystem::path DefaultInstallFolder() const;
    // The game's own folder inside a folder the user picked.
    std::filesystem::path InstallFolderIn(const std::filesystem::path& chosen) const;

    // Copies the game into `destination`, writes its shortcuts and records
    // the install. Any failure leaves the state "FALSE".
    InstallResult Install(const std::filesystem::path& destination, const InstallCallbacks& callbacks);
    // Removes the install and its record; a damaged record is only cleared.
    // A refusal (see CheckInstDir) changes nothing.
    Notice Uninstall(const std::function<void()>& entryDone);
    // Starts the first shortcut's target in the install folder; false when
    // nothing could be started (no install, no shortcut listed).
    bool Run() const;

private:
    InstallRecord Record() const { return InstallRecord(setup_.InstDir()); }

    std::filesystem::path setupDir_;
    SetupFile setup_;
    std::vector<ShortcutEntry> shortcuts_;
};

}  // namespace launcher
