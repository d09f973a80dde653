#pragma once
#include <string>
#include <string_view>

namespace platform {

// The programs name their files with Windows paths relative to the program
// folder ("gf\\system.dat", "screen\\screen00.bmp"), in CP932.

// Turns each backslash separator into '/'. A 0x5C byte that is the trail byte
// of a two-byte CP932 character is part of that character and stays.
std::string ToSlashPath(std::string_view windowsPath);

// The path to open for a Windows path: ToSlashPath, then every element that
// does not exist as written is looked up without regard to ASCII case in its
// folder (Windows file names ignore case). Elements that match nothing are
// kept as written, so the result also serves to create a new file.
std::string ResolvePath(std::string_view windowsPath);

}  // namespace platform
