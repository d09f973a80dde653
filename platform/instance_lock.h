#pragma once
#include <string>

namespace platform {

// Process-wide single-instance guard named after the program (the named mutex
// of the Windows programs): a lock file held with flock, so the kernel frees it
// when the process dies. The file lies in a folder of the user's own
// ($XDG_RUNTIME_DIR, else <cache>/aerial below the home folder, else
// /tmp/aerial-<uid> when that is a folder of this user's that only this user
// may write), so no other user can hold or block it.
class InstanceLock {
public:
    InstanceLock() = default;
    ~InstanceLock() { Release(); }
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // False only when another process holds the lock. A lock file that cannot
    // be made or opened is no reason to refuse to run: the result is then true
    // with no lock held.
    bool Acquire(const std::string& name);
    void Release();
    bool IsHeld() const { return fd_ >= 0; }

    // The lock file used for `name`, its folder made when missing; empty
    // when no folder of the user's own can be had.
    static std::string LockPath(const std::string& name);

private:
    int fd_ = -1;
};

}  // namespace platform
