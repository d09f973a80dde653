#include "tools/launcher/core/launcher.h"

#include "platform/shell.h"
#include "platform/user_dirs.h"
#include "tools/launcher/core/shortcuts.h"
#include "tools/launcher/core/texts.h"

namespace launcher {
namespace fs = std::filesystem;
namespace {

Notice Failure(const std::string& detail) {
    std::string message = text::kInstallFailed;
    if (!detail.empty()) message += "\n" + detail;
    return {Notice::kFailure, message, ""};
}

}  // namespace

Launcher::Launcher(fs::path setupDir)
    : setupDir_(std::move(setupDir)), setup_(setupDir_ / "Setup.ini"), shortcuts_(setup_.LoadShortcutTable()) {}

bool Launcher::IsInstalled() const { return IsSafeInstDir(setup_.InstDir()) && Record().IsInstalled(); }

std::optional<Notice> Launcher::CheckInstDir() const {
    if (IsSafeInstDir(setup_.InstDir())) return std::nullopt;
    return Notice{Notice::kFailure, text::kBadInstDir, ""};
}

fs::path Launcher::DefaultInstallFolder() const {
    return platform::UserDataDir() / "Tessaphoro" / setup_.InstDir();
}

fs::path Launcher::InstallFolderIn(const fs::path& chosen) const {
    return (chosen / setup_.InstDir()).lexically_normal();
}

InstallResult Launcher::Install(const fs::path& destination, const InstallCallbacks& callbacks) {
    if (auto refusal = CheckInstDir()) return {false, *refusal};
    const std::string instDir = setup_.InstDir();
    const fs::path source = setupDir_ / instDir;
    // Every install folder ends in the game's folder name, so that the
    // uninstall's guard accepts it.
    if (!IsDeletableInstallFolder(destination, instDir)) return {false, Failure(text::kBadDestination)};
    if (IsSameOrInside(destination, source) || IsSameOrInside(source, destination)) {
        return {false, Failure(text::kDestinationInSource)};
    }
    std::error_code error;
    if (!fs::is_directory(destination, error)) {
        if (!callbacks.confirmCreateFolder || !callbacks.confirmCreateFolder()) return {false, Failure("")};
        fs::create_directories(destination, error);
        if (error || !fs::is_directory(destination)) return {false, Failure("")};
    }
    if (callbacks.copyStarting) callbacks.copyStarting();

    InstallRecord record = Record();
    int failures = record.WriteInstallState(false) ? 0 : 1;
    failures += CopyTree(source, destination, callbacks.progress);
    failures += CreateShortcuts(setup_.GameTitle(), instDir, destination, shortcuts_);
    failures += record.WriteInstallDir(destination.string()) ? 0 : 1;
    if (failures == 0 && record.WriteInstallState(true)) {
        return {true, {Notice::kInformation, text::kInstallDone, text::kDoneCaption}};
    }
    return {false, Failure(std::to_string(std::max(failures, 1)) + text::kWriteFailures)};
}

Notice Launcher::Uninstall(const std::function<void()>& entryDone) {
    if (auto refusal = CheckInstDir()) return *refusal;
    const std::string instDir = setup_.InstDir();
    InstallRecord record = Record();
    const auto dir = record.GetInstallDir();
    const bool sound = dir && record.IsInstalled() && IsDeletableInstallFolder(*dir, instDir);
    if (sound) {
        DeleteInstallFolder(*dir, instDir, entryDone);
        RemoveShortcuts(setup_.GameTitle(), instDir, shortcuts_);
    }
    record.DeleteInstallState();
    record.RemoveRegistryEntries();
    if (sound) return {Notice::kInformation, setup_.GameTitle() + text::kUninstallDone, text::kDoneCaption};
    return {Notice::kInformation, text::kDamagedInstall, text::kDamagedInstallCaption};
}

bool Launcher::Run() const {
    if (shortcuts_.empty() || !IsSafeInstDir(setup_.InstDir())) return false;
    const auto dir = Record().GetInstallDir();
    if (!dir) return false;
    return platform::ShellOpen(TargetPath(*dir, shortcuts_.front().target).string(), *dir);
}

}  // namespace launcher
