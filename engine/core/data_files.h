#pragma once
#include <string_view>

// Says on standard error, once per file for the life of the process, that a
// data file (a picture archive, a sound pack, a model) is missing or cannot
// be used, and how to get a working set: without it a missing file shows
// only as a blank or silent screen.
void ReportUnusableDataFile(std::string_view name);
