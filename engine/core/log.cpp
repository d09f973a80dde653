#include "engine/core/log.h"

#include <cstdarg>
#include <cstdio>

char logFileName[256] = "";

void WriteLog(const char* format, ...) {
    if (logFileName[0] == '\0') return;
    FILE* file = std::fopen(logFileName, "a");
    if (!file) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(file, format, args);
    va_end(args);
    std::fclose(file);
}
