#include "platform/instance_lock.h"

#include "platform/user_dirs.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace platform {
namespace {

// A folder only this user can write: made when missing, and refused unless
// it is a real folder of this user's (which others are then kept from
// writing into).
bool IsPrivateFolder(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid()) return false;
    return (info.st_mode & 022) == 0 || ::chmod(folder.c_str(), 0700) == 0;
}

// The user's runtime folder, else a folder of the user's own below the home
// folder, else one named after the user in /tmp: never a folder that other
// users can write into. Empty when there is none.
std::filesystem::path LockFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/') return runtime;
    const char* cache = std::getenv("XDG_CACHE_HOME");
    const std::filesystem::path base = (cache && cache[0] == '/') ? std::filesystem::path(cache)
                                                                    : UserHomeDir() / ".cache";
    for (const std::filesystem::path& folder : {base / "aerial", std::filesystem::path("/tmp") /
                                                                     ("aerial-" + std::to_string(::geteuid()))}) {
        if (IsPrivateFolder(folder)) return folder;
    }
    return {};
}

}  // namespace

// Names may hold any bytes (CP932 titles); keep the file name to safe ones.
std::string InstanceLock::LockPath(const std::string& name) {
    std::string file = "lock-";
    static const char hex[] = "0123456789abcdef";
    for (unsigned char c : name) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
            file += static_cast<char>(c);
        } else {
            file += '%';
            file += hex[c >> 4];
            file += hex[c & 15];
        }
    }
    const std::filesystem::path folder = LockFolder();
    return folder.empty() ? std::string() : (folder / file).string();
}

bool InstanceLock::Acquire(const std::string& name) {
    Release();
    const std::string path = LockPath(name);
    if (path.empty()) return true;  // no folder for a lock: run without one
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd < 0) return true;  // no lock to be had: run without one
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool heldElsewhere = errno == EWOULDBLOCK;
        close(fd);
        return !heldElsewhere;
    }
    fd_ = fd;
    return true;
}

void InstanceLock::Release() {
    if (fd_ < 0) return;
    close(fd_);  // closing the descriptor drops the flock
    fd_ = -1;
}

}  // namespace platform
