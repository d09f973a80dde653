#pragma once
#include <string>

namespace platform {

// The shell's "open" verb: an executable regular file is started as a
// detached process (its own session, not a child to reap) in workingDir; any
// other file is handed to the desktop's opener (xdg-open), started the same
// way. A missing file starts nothing. True when a program was started; its
// own result is not waited for.
bool ShellOpen(const std::string& path, const std::string& workingDir);

}  // namespace platform
