#include "platform/safe_file.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <string>
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

namespace {

bool WriteAll(int fd, std::span<const uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t written = writeCall(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes = bytes.subspan(static_cast<size_t>(written));
    }
    return true;
}

// A new file beside `target` under a name no other file has; -1 on failure.
int CreateTemporaryBeside(const std::filesystem::path& target, std::string& temporary) {
    const std::filesystem::path folder = target.parent_path();
    for (int n = 0; n < 100; ++n) {
        temporary = (folder / ("." + target.filename().string() + ".tmp" + std::to_string(n))).string();
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes) {
    const std::filesystem::path target(path);
    if (target.filename().empty()) return false;
    // An existing regular file keeps its permissions; anything else in the
    // way that is not a link (a folder, a FIFO) is refused.
    struct stat old {};
    const bool exists = ::lstat(path.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode) && !S_ISLNK(old.st_mode)) return false;
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
