// Saving a replay without overriding its protection or its ownership.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <span>
#include <vector>

#include "platform/safe_file.h"
#include "tools/replaydesk/core/replay_record.h"

namespace replaydesk {
namespace {

namespace fs = std::filesystem;

bool InGroup(gid_t gid) {
    if (gid == ::getegid()) return true;
    std::vector<gid_t> groups(static_cast<size_t>(std::max(::getgroups(0, nullptr), 0)));
    groups.resize(static_cast<size_t>(std::max(::getgroups(static_cast<int>(groups.size()), groups.data()), 0)));
    return std::find(groups.begin(), groups.end(), gid) != groups.end();
}

// Whether the permission bits of `info` grant this user `ownerBits` (given as
// the owner's bits). They are read as for any user: the superuser's power to
// write regardless is not used, so a read-only file or another user's file
// is protected from the superuser's tool as well.
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

// Writes `bytes` over the file open as `fd`, which must still be the file
// `checked` describes. Only the span that differs from what the file holds is
// written (for an edit, the comment), so a failure part way cuts nothing else.
int Overwrite(int fd, const struct stat& checked, std::span<const uint8_t> bytes) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) return errno;
    if (!S_ISREG(info.st_mode) || info.st_dev != checked.st_dev || info.st_ino != checked.st_ino) return EAGAIN;
    std::vector<uint8_t> current(bytes.size());
    const ssize_t have = ReadStart(fd, current);
    if (have < 0) return errno;
    const auto held = std::span(current).first(static_cast<size_t>(have));
    const auto differs = std::mismatch(held.begin(), held.end(), bytes.begin()).first;
    const size_t first = static_cast<size_t>(differs - held.begin());
    size_t end = bytes.size();
    if (held.size() == bytes.size()) {
        while (end > first && held[end - 1] == bytes[end - 1]) --end;
    }
    if (first < end && (::lseek(fd, static_cast<off_t>(first), SEEK_SET) < 0 ||
                        !platform::WriteAll(fd, bytes.subspan(first, end - first)))) {
        return errno;
    }
    if (static_cast<size_t>(info.st_size) != bytes.size() && ::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) {
        return errno;
    }
    return ::fsync(fd) == 0 ? 0 : errno;
}

int OverwriteInPlace(const std::string& path, const struct stat& checked, std::span<const uint8_t> bytes) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return errno;
    int error = Overwrite(fd, checked, bytes);
    if (::close(fd) != 0 && error == 0) error = errno;
    return error;
}

}  // namespace

// A link is taken for the file it names (the user chose it in the dialog).
SaveResult SaveReplay(const std::string& path, const ReplayRecord& record) {
    std::error_code ec;
    fs::path target(path);
    if (fs::is_symlink(target, ec)) {
        target = fs::canonical(target, ec);
        if (ec) return {ec.value()};
    }
    const std::string file = target.string();
    const std::string folder = target.has_parent_path() ? target.parent_path().string() : ".";
    struct stat fileInfo {}, folderInfo {};
    if (::stat(folder.c_str(), &folderInfo) != 0) return {errno};
    const bool exists = ::lstat(file.c_str(), &fileInfo) == 0;
    if (!exists && errno != ENOENT) return {errno};
    if (exists && !S_ISREG(fileInfo.st_mode)) return {S_ISDIR(fileInfo.st_mode) ? EISDIR : EINVAL};
    if (exists) {
        if (const int error = WritePermission(file, fileInfo)) return {error};
    }
    const int folderError = WritePermission(folder, folderInfo);
    if (!exists && folderError) return {folderError};  // gone since it was opened: made anew

    const std::vector<uint8_t> bytes = ReplayFileBytes(record);
    if (exists && (folderError || !ReplacingKeepsOwnership(fileInfo, folderInfo))) {
        return {OverwriteInPlace(file, fileInfo, bytes)};
    }
    errno = 0;
    if (platform::WriteFileAtomically(file, bytes)) return {};
    return {errno ? errno : EIO};
}

}  // namespace replaydesk
