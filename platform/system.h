#pragma once
#include <cstdint>
#include <string>

namespace platform {

// Millisecond clock and sleep of the Windows multimedia timer (timeGetTime,
// Sleep). The clock is monotonic and wraps as an unsigned 32-bit count.
uint32_t TimeGetTime();
void Sleep(uint32_t milliseconds);

// Replaces the clock and the sleep (tests drive the frame limiter with a fake
// one); null restores the system clock. Set it only while no other thread
// reads the clock.
class Clock {
public:
    virtual ~Clock() = default;
    virtual uint32_t Now() = 0;
    virtual void Sleep(uint32_t milliseconds) = 0;
};
void SetClock(Clock* clock);

// Ticks per second of the high-resolution counter (the monotonic clock's ns).
int64_t PerformanceFrequency();

// The folder part of a path: everything before its last '/' ("/" for a file
// in the root); a path without any '/' is returned whole.
std::string FolderOf(const std::string& path);

// Full path of the running program and its folder (no trailing slash),
// read once from /proc/self/exe.
const std::string& ProgramPath();
const std::string& ProgramFolder();
// Makes ProgramFolder report another folder (headless runs of the game in a
// temporary folder); an empty name goes back to the real one.
void OverrideProgramFolder(const std::string& folder);

// chdir; false when the folder cannot be entered.
bool SetCurrentFolder(const std::string& folder);

// Physical memory in bytes: total and available to programs.
struct MemoryStatus {
    uint64_t totalBytes = 0;
    uint64_t availableBytes = 0;
};
MemoryStatus GetPhysicalMemory();

// The operating system as uname reports it; false when uname fails.
struct OsVersion {
    std::string name;     // "Linux"
    int major = 0, minor = 0;
    std::string release;  // "6.1.0-18-amd64"
    std::string build;    // "#1 SMP PREEMPT_DYNAMIC Debian 6.1.76-1 (2024-02-01)"
};
bool GetOsVersion(OsVersion* version);

// Login name of the user running the program; empty when unknown.
std::string GetUserName();

// SIGINT and SIGTERM ask the program to close as the window's close box does:
// the handlers only raise a flag that the message pump turns into WM_CLOSE.
// Installed at start-up, before anything else can be interrupted.
void InstallQuitSignalHandlers();
bool TakeQuitSignal();
// Whether such a signal came and is not yet taken.
bool QuitSignalPending();

}  // namespace platform
