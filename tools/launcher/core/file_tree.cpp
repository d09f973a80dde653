#include "tools/launcher/core/file_tree.h"

#include "platform/user_dirs.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace launcher {
namespace fs = std::filesystem;
namespace {

void Notify(const std::function<void()>& callback) {
    if (callback) callback();
}

std::error_code LastError() { return std::error_code(errno ? errno : EIO, std::generic_category()); }

std::error_code ListFolder(const fs::path& folder, std::vector<fs::path>& entries) {
    std::error_code error;
    fs::directory_iterator it(folder, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) entries.push_back(it->path());
    std::sort(entries.begin(), entries.end());
    return error;
}

bool Exists(const fs::path& path) {
    std::error_code error;
    return fs::symlink_status(path, error).type() != fs::file_type::not_found;
}

// Closes a descriptor when it goes.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) close(fd);
    }
};

// A failed copy of one file: which side failed, and why.
struct FileError {
    PathFailure::Side side;
    std::error_code error;
};

// Copies the bytes into a temporary file beside the destination, gives it the
// source's mode (plus the owner's write permission) and time, and renames it
// over the destination.
std::optional<FileError> CopyFile(const fs::path& source, const fs::path& destination) {
    Descriptor in{open(source.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)};
    struct stat info {};
    if (in.fd < 0 || fstat(in.fd, &info) != 0) return FileError{PathFailure::kRead, LastError()};
    const fs::path part = destination.parent_path() / ("." + destination.filename().string() + ".part");
    unlink(part.c_str());
    Descriptor out{open(part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600)};
    if (out.fd < 0) return FileError{PathFailure::kWrite, LastError()};
    auto fail = [&](PathFailure::Side side) {
        const std::error_code error = LastError();
        unlink(part.c_str());
        return FileError{side, error};
    };
    char buffer[65536];
    for (;;) {
        const ssize_t got = read(in.fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return fail(PathFailure::kRead);
        if (got == 0) break;
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = write(out.fd, buffer + done, static_cast<size_t>(got - done));
            if (put < 0 && errno == EINTR) continue;
            if (put < 0) return fail(PathFailure::kWrite);
            done += put;
        }
    }
    const timespec times[2] = {info.st_atim, info.st_mtim};
    if (fchmod(out.fd, (info.st_mode & 07777) | S_IWUSR) != 0 || futimens(out.fd, times) != 0 ||
        close(std::exchange(out.fd, -1)) != 0 || rename(part.c_str(), destination.c_str()) != 0) {
        return fail(PathFailure::kWrite);
    }
    return std::nullopt;
}

std::error_code CopyLink(const fs::path& source, const fs::path& destination, PathFailure::Side& side) {
    std::error_code error;
    side = PathFailure::kRead;
    const fs::path target = fs::read_symlink(source, error);
    if (error) return error;
    side = PathFailure::kWrite;
    if (fs::symlink_status(destination, error).type() == fs::file_type::directory) {
        return std::make_error_code(std::errc::is_a_directory);
    }
    fs::remove(destination, error);
    fs::create_symlink(target, destination, error);
    return error;
}

class TreeCopier {
public:
    TreeCopier(const TreeProgress& progress, CopyReport& report) : progress_(progress), report_(report) {}

    void Copy(const fs::path& source, const fs::path& destination, const fs::path& relative) {
        std::vector<fs::path> entries;
        if (std::error_code error = ListFolder(source, entries)) {
            Fail(PathFailure::kRead, source, error);
            return;
        }
        for (const fs::path& from : entries) {
            CopyEntry(from, destination / from.filename(), relative / from.filename());
            Notify(progress_.entryDone);
        }
    }

private:
    void CopyEntry(const fs::path& from, const fs::path& to, const fs::path& relative) {
        std::error_code error;
        const bool created = !Exists(to);
        switch (fs::symlink_status(from, error).type()) {
        case fs::file_type::directory:
            fs::create_directory(to, error);
            // An existing link or file in the folder's place is not followed
            // out of the tree.
            if (!error && fs::symlink_status(to, error).type() != fs::file_type::directory) {
                error = std::make_error_code(std::errc::not_a_directory);
            }
            if (error) {
                Fail(PathFailure::kWrite, to, error);
                return;
            }
            report_.written.push_back({relative, true, created});
            Copy(from, to, relative);
            return;
        case fs::file_type::regular:
            if (progress_.fileStarted) progress_.fileStarted(to);
            if (auto failure = CopyFile(from, to)) {
                Fail(failure->side, failure->side == PathFailure::kRead ? from : to, failure->error);
            } else {
                report_.written.push_back({relative, false, created});
            }
            return;
        case fs::file_type::symlink: {
            PathFailure::Side side;
            if (std::error_code linkError = CopyLink(from, to, side)) {
                Fail(side, side == PathFailure::kRead ? from : to, linkError);
            } else {
                report_.written.push_back({relative, false, created});
            }
            return;
        }
        default:  // devices, pipes and sockets are no part of a game
            Fail(PathFailure::kRead, from, error ? error : std::make_error_code(std::errc::not_supported));
            return;
        }
    }

    void Fail(PathFailure::Side side, const fs::path& path, std::error_code error) {
        const bool read = side == PathFailure::kRead;
        ++(read ? report_.readFailures : report_.writeFailures);
        auto& first = read ? report_.firstReadFailure : report_.firstWriteFailure;
        if (!first) first = PathFailure{side, path, error};
    }

    const TreeProgress& progress_;
    CopyReport& report_;
};

// Whether every folder between `root` and `path` is a real folder, so that
// removing `path` cannot reach through a link to somewhere else.
bool ReachedWithoutLinks(const fs::path& root, const fs::path& relative) {
    fs::path folder = root;
    for (auto it = relative.begin(); it != relative.end() && std::next(it) != relative.end(); ++it) {
        folder /= *it;
        std::error_code error;
        if (fs::symlink_status(folder, error).type() != fs::file_type::directory) return false;
    }
    return true;
}

bool IsPlainRelative(const fs::path& relative) {
    if (relative.empty() || relative.is_absolute()) return false;
    return std::none_of(relative.begin(), relative.end(),
                        [](const fs::path& part) { return part == ".." || part == "." || part.empty(); });
}

void DeleteContents(const fs::path& folder, const std::function<void()>& entryDone) {
    std::vector<fs::path> entries;
    ListFolder(folder, entries);
    for (const fs::path& entry : entries) {
        std::error_code error;
        if (fs::symlink_status(entry, error).type() == fs::file_type::directory) {
            DeleteContents(entry, entryDone);
        }
        fs::remove(entry, error);
        Notify(entryDone);
    }
}

}  // namespace

CopyReport CopyTree(const fs::path& source, const fs::path& destination, const TreeProgress& progress) {
    CopyReport report;
    TreeCopier(progress, report).Copy(source, destination, {});
    return report;
}

std::vector<fs::path> RemoveWrittenEntries(const fs::path& destination, const std::vector<CopyReport::Entry>& entries,
                                           bool onlyCreated, const std::function<void()>& entryDone) {
    std::vector<fs::path> left;
    // Written in order, so a folder comes before what it holds.
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        // Folders that were there before stay, whatever the caller asks.
        if (!it->created && (onlyCreated || it->folder)) continue;
        Notify(entryDone);
        const fs::path path = destination / it->path;
        if (!IsPlainRelative(it->path) || !ReachedWithoutLinks(destination, it->path)) {
            left.push_back(path);
            continue;
        }
        std::error_code error;
        const fs::file_type type = fs::symlink_status(path, error).type();
        if (type == fs::file_type::not_found) continue;
        // A folder goes only when empty: what the user put in it stays. A
        // folder now in a file's place (or the reverse) is not the game's.
        if ((type == fs::file_type::directory) != it->folder) {
            left.push_back(path);
            continue;
        }
        if (!fs::remove(path, error) || error) left.push_back(path);
    }
    return left;
}

bool IsDeletableInstallFolder(const fs::path& folder, std::string_view instDir) {
    fs::path normal = folder.lexically_normal();
    if (!normal.has_filename()) normal = normal.parent_path();  // a trailing separator
    return normal.is_absolute() && !instDir.empty() && normal.filename() == instDir &&
           normal != normal.root_path() && normal != platform::UserHomeDir().lexically_normal();
}

bool DeleteInstallFolder(const fs::path& folder, std::string_view instDir,
                         const std::function<void()>& entryDone) {
    if (!IsDeletableInstallFolder(folder, instDir)) return false;
    std::error_code error;
    if (fs::symlink_status(folder, error).type() == fs::file_type::directory) DeleteContents(folder, entryDone);
    fs::remove(folder, error);
    return true;
}

bool IsSameOrInside(const fs::path& inner, const fs::path& outer, std::error_code& error) {
    error.clear();
    const fs::path a = fs::weakly_canonical(inner, error);
    if (error) return false;
    const fs::path b = fs::weakly_canonical(outer, error);
    if (error) return false;
    auto [outerEnd, innerEnd] = std::mismatch(b.begin(), b.end(), a.begin(), a.end());
    (void)innerEnd;
    return outerEnd == b.end() || (std::next(outerEnd) == b.end() && outerEnd->empty());
}

}  // namespace launcher
