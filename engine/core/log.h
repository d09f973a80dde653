#pragma once

// Path of the log file; empty (the default) means no line is written.
extern char logFileName[256];

// Appends one formatted line to the log file, opening and closing the file for
// every call so a crash loses nothing; a file that cannot be opened is skipped.
void WriteLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
