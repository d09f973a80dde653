#include "engine/core/log.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "platform/cp932.h"

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

void WriteLogTextV(const char* utf8Format, va_list args) {
    if (logFileName[0] == '\0') return;
    const std::string format = platform::Utf8ToCp932(utf8Format);
    FILE* file = std::fopen(logFileName, "a");
    if (!file) return;
    std::vfprintf(file, format.c_str(), args);
    std::fclose(file);
}

void WriteLogText(const char* utf8Format, ...) {
    va_list args;
    va_start(args, utf8Format);
    WriteLogTextV(utf8Format, args);
    va_end(args);
}
