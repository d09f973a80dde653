#pragma once
// Log lines of the graphics layer: the texts are kept in UTF-8 in the source
// and written as CP932, like every log line of the program.
void LogGraphics(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The same for lines whose %s arguments are already CP932 (names read from
// data files): only the format is converted, the arguments go out unchanged.
void LogGraphicsNames(const char* format, ...) __attribute__((format(printf, 1, 2)));
