#pragma once
#include <string>
#include <string_view>

// Says on standard error, once per file for the life of the process, that a
// data file (a picture archive, a sound pack, a model) cannot be used, why
// (`why` follows the file's path: "is missing", "is damaged: ..."), and how
// to get a working set: without it a missing or damaged file shows only as a
// blank or silent screen.
void ReportUnusableDataFile(std::string_view name, std::string_view why);

// The command that writes the placeholder data set into `dataFolder`: the
// datagen beside the program in `programFolder` when there is one (a build
// folder, or a folder it was copied into with the game), else the source
// tree's.
std::string DatagenCommand(const std::string& programFolder, const std::string& dataFolder);

// True the first time it is asked about a file in this process: a reader
// then checks the whole file once, so that damage is named when the file is
// first used, not only when a lookup happens to pass it.
bool FirstLookAtDataFile(std::string_view name);

// What a failed open of a data file says after its path, from its errno:
// "is missing", or why it cannot be opened.
std::string DataFileOpenFailure(int error);
