#include "platform/system.h"

#include <pwd.h>
#include <signal.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <vector>

namespace platform {
namespace {

class SystemClock final : public Clock {
public:
    uint32_t Now() override {
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        uint64_t ms = static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
        return static_cast<uint32_t>(ms);
    }
    void Sleep(uint32_t milliseconds) override {
        timespec rest{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
        while (nanosleep(&rest, &rest) != 0 && errno == EINTR) {
        }
    }
};

SystemClock systemClock;
Clock* activeClock = &systemClock;

std::atomic<bool> quitSignalled{false};

void OnQuitSignal(int) { quitSignalled.store(true); }

std::string ReadProgramPath() {
    std::vector<char> buffer(PATH_MAX);
    for (;;) {
        ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) return {};
        if (static_cast<size_t>(n) < buffer.size()) return std::string(buffer.data(), static_cast<size_t>(n));
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

uint32_t TimeGetTime() { return activeClock->Now(); }

void Sleep(uint32_t milliseconds) { activeClock->Sleep(milliseconds); }

void SetClock(Clock* clock) { activeClock = clock ? clock : &systemClock; }

int64_t PerformanceFrequency() { return 1000000000; }

const std::string& ProgramPath() {
    static const std::string path = ReadProgramPath();
    return path;
}

std::string FolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return path;
    return path.substr(0, slash == 0 ? 1 : slash);
}

namespace {
std::string programFolderOverride;
}  // namespace

const std::string& ProgramFolder() {
    static const std::string folder = FolderOf(ProgramPath());
    return programFolderOverride.empty() ? folder : programFolderOverride;
}

void OverrideProgramFolder(const std::string& folder) { programFolderOverride = folder; }

bool SetCurrentFolder(const std::string& folder) { return chdir(folder.c_str()) == 0; }

MemoryStatus GetPhysicalMemory() {
    MemoryStatus status;
    struct sysinfo info {};
    if (sysinfo(&info) != 0) return status;
    status.totalBytes = static_cast<uint64_t>(info.totalram) * info.mem_unit;
    status.availableBytes = static_cast<uint64_t>(info.freeram) * info.mem_unit;
    // The kernel's own estimate counts reclaimable caches, as Windows does.
    if (FILE* meminfo = std::fopen("/proc/meminfo", "r")) {
        char line[128];
        unsigned long long kib = 0;
        while (std::fgets(line, sizeof line, meminfo)) {
            if (std::sscanf(line, "MemAvailable: %llu kB", &kib) == 1) {
                status.availableBytes = kib * 1024u;
                break;
            }
        }
        std::fclose(meminfo);
    }
    return status;
}

bool GetOsVersion(OsVersion* version) {
    utsname names{};
    if (uname(&names) != 0) return false;
    version->name = names.sysname;
    version->release = names.release;
    version->build = names.version;
    version->major = version->minor = 0;
    std::sscanf(names.release, "%d.%d", &version->major, &version->minor);
    return true;
}

std::string GetUserName() {
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found) return {};
    return found->pw_name;
}

void InstallQuitSignalHandlers() {
    struct sigaction action {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool TakeQuitSignal() { return quitSignalled.exchange(false); }

bool QuitSignalPending() { return quitSignalled.load(); }

}  // namespace platform
