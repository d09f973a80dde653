#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>

namespace platform {
namespace {

// Names may hold any bytes (CP932 titles); keep the file name to safe ones.
std::string LockPath(const std::string& name) {
    const char* dir = std::getenv("XDG_RUNTIME_DIR");
    std::string path = (dir && *dir) ? dir : "/tmp";
    path += "/aerial-lock-";
    static const char hex[] = "0123456789abcdef";
    for (unsigned char c : name) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
            path += static_cast<char>(c);
        } else {
            path += '%';
            path += hex[c >> 4];
            path += hex[c & 15];
        }
    }
    return path;
}

}  // namespace

bool InstanceLock::Acquire(const std::string& name) {
    Release();
    int fd = open(LockPath(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return false;
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
