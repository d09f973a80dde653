#pragma once
#include <string>

namespace platform {

// Process-wide single-instance guard named after the program (the named mutex
// of the Windows programs): a lock file in $XDG_RUNTIME_DIR (or /tmp) held with
// flock, so the kernel frees it when the process dies.
class InstanceLock {
public:
    InstanceLock() = default;
    ~InstanceLock() { Release(); }
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // True when this process now holds the lock; false when another has it.
    bool Acquire(const std::string& name);
    void Release();
    bool IsHeld() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

}  // namespace platform
