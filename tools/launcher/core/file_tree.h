#pragma once
#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

namespace launcher {

// Called back while a tree is copied or deleted, so the windows can show the
// progress and process their events between entries.
struct TreeProgress {
    // A file is about to be copied to this path.
    std::function<void(const std::filesystem::path&)> fileStarted;
    // One entry (file, folder or link) is finished, whatever the outcome.
    std::function<void()> entryDone;
};

// One path that could not be read or written, with the system's reason.
struct PathFailure {
    enum Side { kRead, kWrite };
    Side side = kRead;
    std::filesystem::path path;
    std::error_code error;
};

// What a copy did: every entry it wrote (relative to the destination, in the
// order written; `created` when nothing was there before, so that removing it
// restores the folder), and what failed, the first failure of each side kept
// for the message.
struct CopyReport {
    struct Entry {
        std::filesystem::path path;
        bool folder = false;
        bool created = false;
    };
    std::vector<Entry> written;
    int readFailures = 0;
    int writeFailures = 0;
    std::optional<PathFailure> firstReadFailure;
    std::optional<PathFailure> firstWriteFailure;

    int failures() const { return readFailures + writeFailures; }
};

// Copies the contents of `source` into `destination` at every depth, in name
// order. Files replace existing ones (through a temporary file renamed over
// them, so a read-only old copy is replaced too), keep their mode with the
// owner's write permission added and keep their modification time; folders
// are created or reused; symbolic links are copied as links, never followed.
// An unreadable source folder counts as one read failure.
CopyReport CopyTree(const std::filesystem::path& source, const std::filesystem::path& destination,
                    const TreeProgress& progress);

// Removes what a copy wrote below `destination`, deepest first: the files and
// links it wrote (only those it created, with `onlyCreated`), and the folders
// it created once they are empty. Nothing is followed through a symbolic
// link, and an entry whose kind changed since is left. Returns the paths
// left behind.
std::vector<std::filesystem::path> RemoveWrittenEntries(const std::filesystem::path& destination,
                                                        const std::vector<CopyReport::Entry>& entries,
                                                        bool onlyCreated, const std::function<void()>& entryDone);

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
// A path that cannot be resolved (a name too long, no permission, a loop of
// links) sets `error` and gives false: it is no answer about the overlap.
bool IsSameOrInside(const std::filesystem::path& inner, const std::filesystem::path& outer,
                    std::error_code& error);

}  // namespace launcher
