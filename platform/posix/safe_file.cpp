#include "platform/safe_file.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

WriteCall writeCall = ::write;

FilePtr OpenRegularFile(const std::string& path, uint64_t maxBytes) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return nullptr;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || static_cast<uint64_t>(info.st_size) > maxBytes) {
        ::close(fd);
        errno = S_ISREG(info.st_mode) ? EFBIG : EINVAL;
        return nullptr;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE* file = ::fdopen(fd, "rb");
    if (!file) ::close(fd);
    return FilePtr(file);
}

bool WriteAll(int fd, std::span<const uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t written = writeCall(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes = bytes.subspan(static_cast<size_t>(written));
    }
    return true;
}

namespace {

constexpr int TEMPORARY_NAMES = 100;

std::string TemporaryName(const std::filesystem::path& target, int n) {
    return (target.parent_path() / ("." + target.filename().string() + ".tmp" + std::to_string(n))).string();
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// True while `name` still names the file open as `fd`.
bool StillNamed(const std::string& name, int fd) {
    struct stat named {}, open {};
    return ::lstat(name.c_str(), &named) == 0 && ::fstat(fd, &open) == 0 && SameFile(named, open);
}

// A new file beside `target` under a name no other file has, locked for the
// time it is written, so that RemoveLeftoverTemporaries leaves it alone;
// -1 on failure.
int CreateTemporaryBeside(const std::filesystem::path& target, std::string& temporary) {
    for (int n = 0; n < TEMPORARY_NAMES; ++n) {
        temporary = TemporaryName(target, n);
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return fd;
        if (fd < 0) continue;
        // A tidy-up may have taken the new file for a leftover between the
        // open and the lock; then this name is given up.
        if (::flock(fd, LOCK_EX) == 0 && StillNamed(temporary, fd)) return fd;
        ::close(fd);
    }
    return -1;
}

}  // namespace

void RemoveLeftoverTemporaries(const std::string& path) {
    const std::filesystem::path target(path);
    if (target.filename().empty()) return;
    for (int n = 0; n < TEMPORARY_NAMES; ++n) {
        const std::string name = TemporaryName(target, n);
        const int fd = ::open(name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) continue;
        struct stat info {};
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 && StillNamed(name, fd)) {
            ::unlink(name.c_str());
        }
        ::close(fd);
    }
}

bool WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes) {
    const std::filesystem::path target(path);
    if (target.filename().empty()) return false;
    // An existing regular file keeps its permissions; anything else in the
    // way that is not a link (a folder, a FIFO) is refused.
    struct stat old {};
    const bool exists = ::lstat(path.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode) && !S_ISLNK(old.st_mode)) return false;
    RemoveLeftoverTemporaries(path);
    std::string temporary;
    const int fd = CreateTemporaryBeside(target, temporary);
    if (fd < 0) return false;
    bool saved = WriteAll(fd, bytes);
    if (saved && exists && S_ISREG(old.st_mode)) ::fchmod(fd, old.st_mode & 07777);
    saved = ::fsync(fd) == 0 && saved;
    saved = ::close(fd) == 0 && saved;
    // rename() replaces a link at `path` itself, never the file it names.
    if (saved) saved = ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!saved) ::unlink(temporary.c_str());
    return saved;
}

}  // namespace platform
