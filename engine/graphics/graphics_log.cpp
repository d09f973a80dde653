#include "engine/graphics/graphics_log.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "engine/core/log.h"
#include "platform/cp932.h"

void LogGraphics(const char* format, ...) {
    if (logFileName[0] == '\0') return;
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::vector<char> line(length > 0 ? length + 1 : 1, '\0');
    if (length > 0) std::vsnprintf(line.data(), line.size(), format, args);
    va_end(args);
    WriteLog("%s", platform::Utf8ToCp932(line.data()).c_str());
}
