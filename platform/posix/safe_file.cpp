#include "platform/safe_file.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace platform {

WriteCall writeCall = ::write;
SyncCall syncCall = ::fsync;
OpenCall openCall = [](const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); };

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

bool VersionOf(std::FILE* file, FileVersion* version) {
    struct stat info {};
    if (::fstat(::fileno(file), &info) != 0) return false;
    const auto ns = [](const timespec& t) { return int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec; };
    *version = {static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino), info.st_size,
                ns(info.st_mtim), ns(info.st_ctim)};
    return true;
}

bool IsSettled(const FileVersion& version) {
    constexpr int64_t kSettleNs = 2'000'000'000;
    timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const int64_t nowNs = int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
    return nowNs - std::max(version.modifiedNs, version.changedNs) >= kSettleNs;
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

namespace fs = std::filesystem;

constexpr int TEMPORARY_NAMES = 100;
constexpr std::string_view kTemporaryMark = ".tmp";

std::string TemporaryName(const fs::path& target, int n) {
    return (target.parent_path() / ("." + target.filename().string() + std::string(kTemporaryMark) +
                                    std::to_string(n)))
        .string();
}

std::string FolderOf(const fs::path& target) {
    return target.has_parent_path() ? target.parent_path().string() : ".";
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
int CreateTemporaryBeside(const fs::path& target, std::string& temporary) {
    for (int n = 0; n < TEMPORARY_NAMES; ++n) {
        temporary = TemporaryName(target, n);
        const int fd = openCall(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return fd;
        if (fd < 0) continue;
        // A tidy-up may have taken the new file for a leftover between the
        // open and the lock; then this name is given up.
        if (::flock(fd, LOCK_EX) == 0 && StillNamed(temporary, fd)) return fd;
        ::close(fd);
    }
    errno = EEXIST;
    return -1;
}

// Flushes the folder's entries, so that a rename in it survives a power
// loss. The rename has been made either way: a file system that cannot
// flush a folder does not undo the save.
void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    syncCall(fd);
    ::close(fd);
}

// ---- Who may write what ------------------------------------------------------

bool InGroup(gid_t gid) {
    if (gid == ::getegid()) return true;
    std::vector<gid_t> groups(static_cast<size_t>(std::max(::getgroups(0, nullptr), 0)));
    groups.resize(static_cast<size_t>(std::max(::getgroups(static_cast<int>(groups.size()), groups.data()), 0)));
    return std::find(groups.begin(), groups.end(), gid) != groups.end();
}

// Whether the permission bits of `info` grant this user `ownerBits` (given as
// the owner's bits), read as for any user, the superuser included.
bool ModeAllows(const struct stat& info, mode_t ownerBits) {
    mode_t bits = ownerBits >> 6;  // others
    if (info.st_uid == ::geteuid()) {
        bits = ownerBits;
    } else if (InGroup(info.st_gid)) {
        bits = ownerBits >> 3;
    }
    return (info.st_mode & bits) == bits;
}

// 0 when this user may write `path` (for a folder: add entries to it), else
// why not. The system's own check comes too, for access lists and read-only
// file systems.
int WritePermission(const std::string& path, const struct stat& info) {
    const bool folder = S_ISDIR(info.st_mode);
    if (::faccessat(AT_FDCWD, path.c_str(), folder ? W_OK | X_OK : W_OK, AT_EACCESS) != 0) return errno;
    return ModeAllows(info, folder ? S_IWUSR | S_IXUSR : S_IWUSR) ? 0 : EACCES;
}

// Whether a new file in `folder` would be the same file to its users as
// `file`: this user's, in the group a new file there gets, with no other name.
bool ReplacingKeepsOwnership(const struct stat& file, const struct stat& folder) {
    const gid_t newGroup = (folder.st_mode & S_ISGID) ? folder.st_gid : ::getegid();
    return file.st_uid == ::geteuid() && file.st_gid == newGroup && file.st_nlink == 1;
}

// ---- Writing in place --------------------------------------------------------

// Up to `into.size()` bytes from the start of `fd`; how many were read, or
// -1.
ssize_t ReadStart(int fd, std::span<uint8_t> into) {
    size_t done = 0;
    while (done < into.size()) {
        const ssize_t got = ::pread(fd, into.data() + done, into.size() - done, static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return -1;
        if (got == 0) break;
        done += static_cast<size_t>(got);
    }
    return static_cast<ssize_t>(done);
}

// Writes `bytes` at `offset` past any partial write, without the
// replaceable write call: it puts back what a failed rewrite changed.
bool WriteAllAt(int fd, std::span<const uint8_t> bytes, off_t offset) {
    while (!bytes.empty()) {
        const ssize_t written = ::pwrite(fd, bytes.data(), bytes.size(), offset);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes = bytes.subspan(static_cast<size_t>(written));
        offset += written;
    }
    return true;
}

// Gives the file open as `fd` back its old bytes `old`, of which those from
// `from` on may have been overwritten, and its old size; false when that
// fails too.
bool PutBack(int fd, std::span<const uint8_t> old, size_t from, off_t size) {
    struct stat info {};
    bool restored = WriteAllAt(fd, old.subspan(std::min(from, old.size())), static_cast<off_t>(from));
    if (::fstat(fd, &info) != 0 || (info.st_size != size && ::ftruncate(fd, size) != 0)) restored = false;
    return ::fsync(fd) == 0 && restored;
}

// Writes `bytes` over the file open as `fd`, which must still be the file
// `checked` describes and still grant this user writing by its mode (a
// chmod since the check is obeyed, by the superuser too). Only the span that
// differs from what the file holds is written. A file that grows gets its
// new size reserved first, so that a full disk fails before anything
// changed; a write that fails later puts the old bytes back, and `damaged`
// tells when that failed as well.
int Overwrite(int fd, const struct stat& checked, std::span<const uint8_t> bytes, bool& damaged) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) return errno;
    if (!S_ISREG(info.st_mode) || !SameFile(info, checked)) return EAGAIN;
    if (!ModeAllows(info, S_IWUSR)) return EACCES;
    // The whole old file, to put back what a failure part way changed.
    std::vector<uint8_t> old(std::max(bytes.size(), static_cast<size_t>(info.st_size)));
    const ssize_t have = ReadStart(fd, old);
    if (have < 0) return errno;
    old.resize(static_cast<size_t>(have));
    const size_t common = std::min(old.size(), bytes.size());
    const size_t first =
        static_cast<size_t>(std::mismatch(old.begin(), old.begin() + common, bytes.begin()).first - old.begin());
    size_t end = bytes.size();
    if (old.size() == bytes.size()) {
        while (end > first && old[end - 1] == bytes[end - 1]) --end;
    }
    const off_t oldSize = info.st_size;
    const off_t newSize = static_cast<off_t>(bytes.size());
    if (newSize > oldSize) {
        if (const int error = ::posix_fallocate(fd, oldSize, newSize - oldSize)) {
            damaged = !PutBack(fd, old, old.size(), oldSize);
            return error;
        }
    }
    errno = 0;
    const bool written = first >= end || (::lseek(fd, static_cast<off_t>(first), SEEK_SET) >= 0 &&
                                          WriteAll(fd, bytes.subspan(first, end - first)));
    if (written && (oldSize == newSize || ::ftruncate(fd, newSize) == 0) && syncCall(fd) == 0) return 0;
    const int error = errno ? errno : EIO;
    damaged = !PutBack(fd, old, first, oldSize);
    return error;
}

int OverwriteInPlace(const std::string& path, const struct stat& checked, std::span<const uint8_t> bytes,
                     bool& damaged) {
    const int fd = openCall(path.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0);
    if (fd < 0) return errno;
    int error = Overwrite(fd, checked, bytes, damaged);
    if (::close(fd) != 0 && error == 0) error = errno;
    return error;
}

// 0 when `path` is still the file `checked` describes (or gone) and its mode
// still lets this user write it, else why not: what a rename would replace
// is checked again once the new file is made.
int StillReplaceable(const std::string& path, const struct stat& checked) {
    struct stat now {};
    if (::lstat(path.c_str(), &now) != 0) return errno == ENOENT ? 0 : errno;
    if (!SameFile(now, checked)) return EAGAIN;
    return ModeAllows(now, S_IWUSR) ? 0 : EACCES;
}

// WriteFileAtomically; with `checked`, the regular file at `path` that the
// caller found may be replaced, checked again before the rename.
bool ReplaceWhole(const std::string& path, std::span<const uint8_t> bytes, const struct stat* checked) {
    const fs::path target(path);
    if (target.filename().empty()) {
        errno = EISDIR;
        return false;
    }
    // An existing regular file keeps its permissions; anything else in the
    // way that is not a link (a folder, a FIFO) is refused.
    struct stat old {};
    const bool exists = ::lstat(path.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode) && !S_ISLNK(old.st_mode)) {
        errno = S_ISDIR(old.st_mode) ? EISDIR : EINVAL;
        return false;
    }
    RemoveLeftoverTemporaries(path);
    std::string temporary;
    const int fd = CreateTemporaryBeside(target, temporary);
    if (fd < 0) return false;
    bool saved = WriteAll(fd, bytes);
    if (saved && exists && S_ISREG(old.st_mode)) ::fchmod(fd, old.st_mode & 07777);
    // The new bytes reach the disk before the name does.
    saved = saved && syncCall(fd) == 0;
    saved = ::close(fd) == 0 && saved;
    if (saved && checked) {
        if (const int error = StillReplaceable(path, *checked)) {
            saved = false;
            errno = error;
        }
    }
    // rename() replaces a link at `path` itself, never the file it names.
    saved = saved && ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!saved) {
        const int error = errno;
        ::unlink(temporary.c_str());
        errno = error;
        return false;
    }
    SyncFolder(FolderOf(target));
    return true;
}

int SaveChecked(const std::string& path, std::span<const uint8_t> bytes, bool& damaged) {
    const fs::path target(path);
    if (target.filename().empty()) return EISDIR;
    const std::string folder = FolderOf(target);
    struct stat fileInfo {}, folderInfo {};
    if (::stat(folder.c_str(), &folderInfo) != 0) return errno;
    const bool exists = ::lstat(path.c_str(), &fileInfo) == 0;
    if (!exists && errno != ENOENT) return errno;
    const bool regular = exists && S_ISREG(fileInfo.st_mode);
    if (exists && !regular && !S_ISLNK(fileInfo.st_mode)) return S_ISDIR(fileInfo.st_mode) ? EISDIR : EINVAL;
    if (regular) {
        if (const int error = WritePermission(path, fileInfo)) return error;
    }
    const int folderError = WritePermission(folder, folderInfo);
    if (regular && (folderError || !ReplacingKeepsOwnership(fileInfo, folderInfo))) {
        return OverwriteInPlace(path, fileInfo, bytes, damaged);
    }
    if (folderError) return folderError;
    errno = 0;
    if (ReplaceWhole(path, bytes, regular ? &fileInfo : nullptr)) return 0;
    return errno ? errno : EIO;
}

}  // namespace

std::string TemporaryTarget(std::string_view name) {
    const size_t mark = name.rfind(kTemporaryMark);
    if (name.size() < 2 || name.front() != '.' || mark == std::string_view::npos || mark <= 1) return {};
    const std::string_view digits = name.substr(mark + kTemporaryMark.size());
    int n = -1;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    if (error != std::errc{} || end != digits.data() + digits.size() || n < 0 || n >= TEMPORARY_NAMES ||
        std::to_string(n) != digits) {
        return {};
    }
    return std::string(name.substr(1, mark - 1));
}

void RemoveLeftoverTemporary(const std::string& temporary) {
    const int fd = ::open(temporary.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid() &&
        ::flock(fd, LOCK_EX | LOCK_NB) == 0 && StillNamed(temporary, fd)) {
        ::unlink(temporary.c_str());
    }
    ::close(fd);
}

void RemoveLeftoverTemporaries(const std::string& path) {
    const fs::path target(path);
    if (target.filename().empty()) return;
    for (int n = 0; n < TEMPORARY_NAMES; ++n) RemoveLeftoverTemporary(TemporaryName(target, n));
}

bool WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes) {
    return ReplaceWhole(path, bytes, nullptr);
}

int SaveFile(const std::string& path, std::span<const uint8_t> bytes) {
    bool damaged = false;
    const int error = SaveChecked(path, bytes, damaged);
    if (error == 0) return 0;
    std::error_code ignored;
    const std::string shown = fs::absolute(path, ignored).string();
    std::fprintf(stderr, "%s was not saved: %s; %s\n", shown.c_str(), std::strerror(error),
                 damaged ? "its old bytes could not all be put back, so it may be damaged"
                         : "the file is as it was");
    return error;
}

}  // namespace platform
