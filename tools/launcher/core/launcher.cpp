#include "tools/launcher/core/launcher.h"

#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/user_dirs.h"
#include "tools/launcher/core/failure_text.h"
#include "tools/launcher/core/install_manifest.h"
#include "tools/launcher/core/shortcuts.h"
#include "tools/launcher/core/texts.h"

#include <sys/stat.h>

#include <cerrno>

namespace launcher {
namespace fs = std::filesystem;
namespace {

std::error_code ErrnoCode(int error) { return std::error_code(error, std::generic_category()); }

// The folder's state: 0 when it is a folder, else why not (ENOENT when
// nothing is there).
std::error_code FolderState(const fs::path& folder) {
    struct stat info {};
    if (stat(folder.c_str(), &info) != 0) return ErrnoCode(errno);
    return S_ISDIR(info.st_mode) ? std::error_code() : ErrnoCode(EEXIST);
}

// The outermost folder that creating `folder` with its parents would make.
fs::path FirstMissingFolder(const fs::path& folder) {
    fs::path missing = folder;
    for (fs::path parent = folder.parent_path(); parent != missing && FolderState(parent) == std::errc::no_such_file_or_directory;
         parent = parent.parent_path()) {
        missing = parent;
    }
    return missing;
}

// Removes the empty folders from `folder` up to `outermost` (a missing one is
// passed over), stopping at the first that is not empty.
void RemoveEmptyFolders(fs::path folder, const fs::path& outermost) {
    for (;;) {
        std::error_code error;
        fs::remove(folder, error);
        if (error && error != std::errc::no_such_file_or_directory) return;
        if (folder == outermost || !folder.has_relative_path()) return;
        folder = folder.parent_path();
    }
}

// "3 個の項目を書き込めませんでした。" and the first of them described.
void AddCopyFailures(int count, const char* summary, const std::optional<PathFailure>& first,
                     std::vector<std::string>& problems) {
    if (count == 0) return;
    std::string line = std::to_string(count) + summary;
    if (first) line += "\n" + DescribeFailure(text::kItem, first->path, first->error);
    problems.push_back(line);
}

std::string Join(const std::vector<std::string>& lines) {
    std::string joined;
    for (const std::string& line : lines) joined += "\n" + line;
    return joined;
}

}  // namespace

Launcher::Launcher(fs::path setupDir)
    : setupDir_(std::move(setupDir)), setup_(setupDir_ / "Setup.ini"), shortcuts_(setup_.LoadShortcutTable()) {}

bool Launcher::IsInstalled() const { return IsSafeInstDir(setup_.InstDir()) && Record().IsInstalled(); }

std::optional<Notice> Launcher::CheckInstDir() const {
    if (auto problem = setup_.Problem()) {
        return Notice{Notice::kFailure, *problem + "\n" + text::kCannotInstall, ProgramTitle()};
    }
    if (IsSafeInstDir(setup_.InstDir())) return std::nullopt;
    return Notice{Notice::kFailure, text::kBadInstDir, ProgramTitle()};
}

std::string Launcher::ProgramTitle() const {
    const std::string title = setup_.GameTitle();
    return title.empty() ? fs::path(platform::ProgramPath()).filename().string() : title;
}

// The game's folder beside the launcher, named by "INST_DIR" as read. When
// no such folder is there it is looked for by the bytes the settings hold:
// a medium unpacked without converting its CP932 names, or a name that is no
// CP932 text at all, still installs.
fs::path Launcher::SourceFolder() const {
    const fs::path named = setupDir_ / setup_.InstDir();
    const std::string bytes = setup_.InstDirBytes();
    std::error_code error;
    if (fs::exists(fs::symlink_status(named, error)) || !IsPlainName(bytes)) return named;
    const fs::path unconverted = setupDir_ / bytes;
    return fs::exists(fs::symlink_status(unconverted, error)) ? unconverted : named;
}

Notice Launcher::Refusal(const std::string& detail) const {
    std::string message = text::kInstallFailed;
    if (!detail.empty()) message += "\n" + detail;
    return {Notice::kFailure, message, ProgramTitle()};
}

fs::path Launcher::DefaultInstallFolder() const {
    return platform::UserDataDir() / "Tessaphoro" / setup_.InstDir();
}

fs::path Launcher::InstallFolderIn(const fs::path& chosen) const {
    return (chosen / setup_.InstDir()).lexically_normal();
}

// The checks that come before anything is written, each failure with its
// own cause.
std::optional<Notice> Launcher::CheckSourceAndDestination(const fs::path& source, const fs::path& destination) const {
    // Every install folder ends in the game's folder name, so that the
    // uninstall's guard accepts it.
    if (!IsDeletableInstallFolder(destination, setup_.InstDir())) return Refusal(text::kBadDestination);
    // The record keeps the folder's text, which must read back whole.
    if (destination.string().size() > platform::RegistryKey::kMaxValueBytes) return Refusal(text::kRecordTooLong);
    std::error_code error;
    fs::directory_iterator readable(source, error);
    if (error) return Refusal(DescribeFailure(text::kSourceFolder, source, error));
    const bool overlap = IsSameOrInside(destination, source, error) || (!error && IsSameOrInside(source, destination, error));
    if (error) return Refusal(DescribeFailure(text::kDestinationFolder, destination, error));
    if (overlap) return Refusal(text::kDestinationInSource);
    error = FolderState(destination);
    if (error && error != std::errc::no_such_file_or_directory) {
        return Refusal(DescribeFailure(text::kDestinationFolder, destination, error));
    }
    return std::nullopt;
}

// Makes sure the install folder exists, asking first: to create a missing
// one, or to use one that holds files but no install of this game. Sets
// `firstCreated` to the outermost folder it made (empty when the folder was
// there).
std::optional<Notice> Launcher::PrepareFolder(const fs::path& destination, const InstallCallbacks& callbacks,
                                              fs::path& firstCreated) const {
    std::error_code error;
    if (!FolderState(destination)) {
        const bool empty = fs::is_empty(destination, error);
        if (error) return Refusal(DescribeFailure(text::kDestinationFolder, destination, error));
        const auto recorded = Record().GetInstallDir();
        const bool holdsThisGame = recorded && fs::path(*recorded).lexically_normal() == destination.lexically_normal();
        if (empty || holdsThisGame) return std::nullopt;
        // Files that are not this game's may be the user's own.
        const std::string question = "「" + destination.string() + text::kFilledFolderQuestion;
        if (!callbacks.confirmFilledFolder || !callbacks.confirmFilledFolder(question)) return Refusal("");
        return std::nullopt;
    }
    if (!callbacks.confirmCreateFolder || !callbacks.confirmCreateFolder()) return Refusal("");
    firstCreated = FirstMissingFolder(destination);
    fs::create_directories(destination, error);
    if (!error) error = FolderState(destination);
    if (!error) return std::nullopt;
    RemoveEmptyFolders(destination, firstCreated);
    return Refusal(DescribeFailure(text::kDestinationFolder, destination, error));
}

// Removes what a failed install wrote, so nothing points at missing files;
// the sentence that says so.
std::string Launcher::TakeBack(const fs::path& destination, const CopyReport& copy, const fs::path& firstCreated,
                               const std::function<void()>& entryDone) const {
    const std::string instDir = setup_.InstDir();
    DeleteManifest(instDir);
    RemoveShortcuts(setup_.GameTitle(), instDir, shortcuts_);
    std::vector<fs::path> left;
    if (firstCreated.empty()) {
        left = RemoveWrittenEntries(destination, copy.written, true, entryDone);
    } else {
        DeleteInstallFolder(destination, instDir, entryDone);
        std::error_code error;
        if (fs::exists(fs::symlink_status(destination, error))) left.push_back(destination);
        RemoveEmptyFolders(destination, firstCreated);
    }
    return left.empty() ? std::string(text::kRolledBack) : text::kRollbackLeft + left.front().string();
}

InstallResult Launcher::Install(const fs::path& destination, const InstallCallbacks& callbacks) {
    if (auto refusal = CheckInstDir()) return {false, *refusal};
    const std::string instDir = setup_.InstDir();
    const fs::path source = SourceFolder();
    if (auto refusal = CheckSourceAndDestination(source, destination)) return {false, *refusal};
    fs::path firstCreated;
    if (auto refusal = PrepareFolder(destination, callbacks, firstCreated)) return {false, *refusal};
    if (callbacks.copyStarting) callbacks.copyStarting();

    InstallRecord record = Record();
    const InstallRecord::Saved saved = record.Save();
    std::vector<std::string> problems;
    if (!record.WriteInstallState(false)) problems.push_back(text::kRecordNotWritten);
    const CopyReport copy = CopyTree(source, destination, callbacks.progress);
    AddCopyFailures(copy.readFailures, text::kReadFailures, copy.firstReadFailure, problems);
    AddCopyFailures(copy.writeFailures, text::kWriteFailures, copy.firstWriteFailure, problems);
    const ShortcutReport shortcuts = CreateShortcuts(setup_.GameTitle(), instDir, destination, shortcuts_);
    AddCopyFailures(shortcuts.failures, text::kWriteFailures, shortcuts.firstFailure, problems);
    if (!record.WriteInstallDir(destination.string())) problems.push_back(text::kRecordNotWritten);
    // The uninstall removes a folder the install made; of one that was
    // there, only what the copy wrote.
    const bool listed = firstCreated.empty() ? WriteManifest(instDir, {destination.string(), copy.written})
                                             : (DeleteManifest(instDir), true);
    if (!listed) problems.push_back(text::kRecordNotWritten);
    if (problems.empty() && record.WriteInstallState(true)) {
        return {true, {Notice::kInformation, text::kInstallDone, text::kDoneCaption}};
    }
    if (problems.empty()) problems.push_back(text::kRecordNotWritten);
    problems.push_back(TakeBack(destination, copy, firstCreated, callbacks.progress.entryDone));
    record.Restore(saved);
    return {false, Refusal(Join(problems).substr(1))};
}

Notice Launcher::Uninstall(const std::function<void()>& entryDone) {
    if (auto refusal = CheckInstDir()) return *refusal;
    const std::string instDir = setup_.InstDir();
    InstallRecord record = Record();
    const auto dir = record.GetInstallDir();
    const bool sound = dir && record.IsInstalled() && IsDeletableInstallFolder(*dir, instDir);
    if (sound) {
        const auto manifest = ReadManifest(instDir);
        if (manifest && manifest->folder == *dir) {
            RemoveWrittenEntries(*dir, manifest->entries, false, entryDone);
        } else {
            DeleteInstallFolder(*dir, instDir, entryDone);
        }
        RemoveShortcuts(setup_.GameTitle(), instDir, shortcuts_);
    }
    DeleteManifest(instDir);
    record.DeleteInstallState();
    record.RemoveRegistryEntries();
    if (sound) return {Notice::kInformation, setup_.GameTitle() + text::kUninstallDone, text::kDoneCaption};
    return {Notice::kInformation, text::kDamagedInstall, text::kDamagedInstallCaption};
}

bool Launcher::Run() const {
    if (shortcuts_.empty() || shortcuts_.front().target.empty() || !IsSafeInstDir(setup_.InstDir())) return false;
    const auto dir = Record().GetInstallDir();
    if (!dir) return false;
    return platform::ShellOpen(TargetPath(*dir, shortcuts_.front().target).string(), *dir);
}

}  // namespace launcher
