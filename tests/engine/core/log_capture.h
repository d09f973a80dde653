#pragma once
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "engine/core/log.h"
#include "tests/support/temp_dir.h"

namespace test {

// Points the engine's log at a file of its own while it lives.
class LogCapture {
public:
    LogCapture() { std::snprintf(logFileName, sizeof logFileName, "%s", path.c_str()); }
    ~LogCapture() { logFileName[0] = '\0'; }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // Everything logged so far, and from now on nothing of it.
    std::string Take() {
        std::stringstream text;
        text << std::ifstream(path).rdbuf();
        std::remove(path.c_str());
        return text.str();
    }

private:
    TempDir dir;
    std::string path = dir.file("engine.log");
};

}  // namespace test
