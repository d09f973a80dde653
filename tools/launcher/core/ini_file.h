#pragma once
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

namespace launcher {

// A settings file read with the Windows profile-string rules, over CP932
// bytes: section and key names compare case-insensitively (ASCII letters
// only, never the trail byte of a double-byte character), names and values
// are trimmed of blanks, one pair of enclosing quotes is removed, lines that
// start with ';' are comments, and the first matching section and key win.
// The file is read again for every value, so it may change while in use; a
// missing file gives the defaults; one that is there but cannot be read
// throws UnreadableIniFile, which says why.
class IniFile {
public:
    explicit IniFile(std::filesystem::path path) : path_(std::move(path)) {}

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    // Decimal, or hexadecimal after "$" or "0x", with an optional sign; a
    // missing, malformed or out-of-range value gives the default.
    int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
    // Whether the file can be read now: no error, or why not (ENOENT for a
    // missing file, which reads as all defaults).
    std::error_code Check() const;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// A settings file that is there but cannot be read, with the reason in the
// launcher's own words.
class UnreadableIniFile : public std::runtime_error {
public:
    UnreadableIniFile(const std::filesystem::path& path, std::error_code error);
};

// The integer rules of ReadInteger, for a text already read.
bool ParseIniInteger(std::string_view text, int& value);

}  // namespace launcher
