#include "platform/user_dirs.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace platform {
namespace fs = std::filesystem;
namespace {

// XDG asks to ignore relative values of these variables.
fs::path FromEnvironment(const char* name, const fs::path& fallback) {
    const char* value = std::getenv(name);
    if (value && value[0] == '/') return value;
    return fallback;
}

}  // namespace

fs::path UserHomeDir() {
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return home;
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) return entry->pw_dir;
    return "/";
}

fs::path UserDataDir() { return FromEnvironment("XDG_DATA_HOME", UserHomeDir() / ".local" / "share"); }

fs::path UserConfigDir() { return FromEnvironment("XDG_CONFIG_HOME", UserHomeDir() / ".config"); }

fs::path UserProgramsDir() { return UserDataDir() / "applications"; }

}  // namespace platform
