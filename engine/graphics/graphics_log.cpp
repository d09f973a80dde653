#include "engine/graphics/graphics_log.h"

#include <cstdarg>

#include "engine/core/log.h"

void LogGraphics(const char* format, ...) {
    va_list args;
    va_start(args, format);
    WriteLogTextV(format, args);
    va_end(args);
}
