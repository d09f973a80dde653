#pragma once
// Log lines of the graphics layer: the format is kept in UTF-8 in the source
// and written as CP932, like every log line of the program; the arguments
// (names read from files, CP932 already) pass unchanged.
void LogGraphics(const char* format, ...) __attribute__((format(printf, 1, 2)));
