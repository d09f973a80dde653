#include "tools/launcher/core/ini_file.h"

#include "platform/cp932.h"
#include "platform/safe_file.h"
#include "tools/launcher/core/failure_text.h"
#include "tools/launcher/core/texts.h"

#include <cerrno>
#include <cstdio>
#include <limits>
#include <optional>

namespace launcher {
namespace {

std::string_view Trim(std::string_view text) {
    const char* blanks = " \t\r";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Case folding walks the text character by character, so the trail byte of a
// double-byte character (which may be an ASCII letter) is compared exactly.
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    size_t i = 0;
    while (i < a.size()) {
        size_t length = platform::Cp932CharLength(a.substr(i));
        if (length == 1) {
            if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
        } else if (a.substr(i, length) != b.substr(i, length)) {
            return false;
        }
        i += length;
    }
    return true;
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

std::optional<std::string> FindValue(const std::string& text, std::string_view section, std::string_view key) {
    enum { kBefore, kInside, kAfter } place = kBefore;
    size_t start = 0;
    while (start <= text.size() && place != kAfter) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string_view line = Trim(std::string_view(text).substr(start, end - start));
        start = end + 1;
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            // Only the first section of a name is searched.
            if (place == kInside) place = kAfter;
            size_t close = line.find(']');
            std::string_view name = Trim(line.substr(1, close == std::string_view::npos ? close : close - 1));
            if (place == kBefore && SameName(name, Trim(section))) place = kInside;
            continue;
        }
        if (place != kInside) continue;
        size_t eq = line.find('=');
        if (eq == std::string_view::npos || !SameName(Trim(line.substr(0, eq)), Trim(key))) continue;
        return std::string(Unquote(Trim(line.substr(eq + 1))));
    }
    return std::nullopt;
}

// Reads the whole file into `text`. A missing file leaves it empty and gives
// ENOENT; one that is there but is no regular file or cannot be read (a
// folder, a FIFO) gives the reason.
std::error_code Load(const std::filesystem::path& path, std::string& text) {
    std::error_code error;
    const auto status = std::filesystem::symlink_status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        return std::make_error_code(std::errc::no_such_file_or_directory);
    }
    if (error) return error;
    const platform::FilePtr file = platform::OpenRegularFile(path.string());
    if (!file) return OpenFailureCause(path, errno);
    char chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) text.append(chunk, got);
    return std::ferror(file.get()) ? std::make_error_code(std::errc::io_error) : std::error_code();
}

// The text of a file that is there and readable, or empty when it is missing.
std::string ReadText(const std::filesystem::path& path) {
    std::string text;
    const std::error_code error = Load(path, text);
    if (error && error != std::errc::no_such_file_or_directory) throw UnreadableIniFile(path, error);
    return text;
}

}  // namespace

UnreadableIniFile::UnreadableIniFile(const std::filesystem::path& path, std::error_code error)
    : std::runtime_error(DescribeFailure(text::kSettingsFile, path.filename(), error)) {}

std::error_code IniFile::Check() const {
    std::string text;
    return Load(path_, text);
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
    return FindValue(ReadText(path_), section, key).value_or(std::string(defaultValue));
}

int IniFile::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const {
    int value = 0;
    return ParseIniInteger(ReadString(section, key, ""), value) ? value : defaultValue;
}

bool ParseIniInteger(std::string_view text, int& value) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.starts_with('$')) {
        base = 16;
        text.remove_prefix(1);
    } else if (text.starts_with("0x") || text.starts_with("0X")) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) return false;
    long long magnitude = 0;
    for (char c : text) {
        int digit = (c >= '0' && c <= '9') ? c - '0'
                    : (base == 16 && AsciiLower(c) >= 'a' && AsciiLower(c) <= 'f') ? AsciiLower(c) - 'a' + 10
                                                                                      : -1;
        if (digit < 0) return false;
        magnitude = magnitude * base + digit;
        if (magnitude > static_cast<long long>(std::numeric_limits<int>::max()) + 1) return false;
    }
    long long signedValue = negative ? -magnitude : magnitude;
    if (signedValue > std::numeric_limits<int>::max()) return false;
    value = static_cast<int>(signedValue);
    return true;
}

}  // namespace launcher
