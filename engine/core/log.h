#pragma once
#include <cstdarg>

// Path of the log file; empty (the default) means no line is written.
extern char logFileName[256];

// Appends one formatted line to the log file, opening and closing the file for
// every call so a crash loses nothing; a file that cannot be opened is skipped.
void WriteLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// WriteLog for a format kept in UTF-8 in the source: the format is written as
// CP932, the arguments as they are (names read from files are CP932 already).
void WriteLogText(const char* utf8Format, ...) __attribute__((format(printf, 1, 2)));
void WriteLogTextV(const char* utf8Format, va_list args);
