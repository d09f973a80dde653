#include "engine/graphics/graphics_log.h"

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/core/log.h"
#include "platform/cp932.h"

namespace {

std::string FormatLine(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::vector<char> line(length > 0 ? length + 1 : 1, '\0');
    if (length > 0) std::vsnprintf(line.data(), line.size(), format, args);
    return line.data();
}

}  // namespace

void LogGraphics(const char* format, ...) {
    if (logFileName[0] == '\0') return;
    va_list args;
    va_start(args, format);
    const std::string line = FormatLine(format, args);
    va_end(args);
    WriteLog("%s", platform::Utf8ToCp932(line).c_str());
}

void LogGraphicsNames(const char* format, ...) {
    if (logFileName[0] == '\0') return;
    // CP932 keeps the ASCII conversion specifications as they are, and its
    // trail bytes (0x40 and above) never form a '%'.
    const std::string cp932Format = platform::Utf8ToCp932(format);
    va_list args;
    va_start(args, format);
    const std::string line = FormatLine(cp932Format.c_str(), args);
    va_end(args);
    WriteLog("%s", line.c_str());
}
