#pragma once
#include <filesystem>
#include <functional>
#include <string_view>

namespace launcher {

// Called back while a tree is copied or deleted, so the windows can show the
// progress and process their events between entries.
struct TreeProgress {
    // A file is about to be copied to this path.
    std::function<void(const std::filesystem::path&)> fileStarted;
    // One entry (file, folder or link) is finished, whatever the outcome.
    std::function<void()> entryDone;
};

// Copies the contents of `source` into `destination` at every depth, in name
// order. Files replace existing ones (through a temporary file renamed over
// them, so a read-only old copy is replaced too), keep their mode with the
// owner's write permission added and keep their modification time; folders
// are created or reused; symbolic links are copied as links, never followed.
// Returns the number of entries that could not be copied (an unreadable
// source folder counts as one).
int CopyTree(const std::filesystem::path& source, const std::filesystem::path& destination,
             const TreeProgress& progress);

// Whether `folder` may be removed as the game's install folder: an absolute
// path, not the root or the home folder, whose last element is the game's
// folder name.
bool IsDeletableInstallFolder(const std::filesystem::path& folder, std::string_view instDir);

// Removes the install folder with all it holds, never following a symbolic
// link: a link is removed, not what it points to. Errors of single entries
// are skipped. False (and nothing removed) when the folder fails
// IsDeletableInstallFolder.
bool DeleteInstallFolder(const std::filesystem::path& folder, std::string_view instDir,
                         const std::function<void()>& entryDone);

// Whether `inner` is `outer` or lies below it, after resolving links and "..".
bool IsSameOrInside(const std::filesystem::path& inner, const std::filesystem::path& outer);

}  // namespace launcher
