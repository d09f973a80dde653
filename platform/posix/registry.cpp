#include "platform/registry.h"

#include "platform/user_dirs.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <utility>

namespace platform {
namespace fs = std::filesystem;
namespace {

using ValueList = std::vector<std::pair<std::string, std::string>>;

fs::path RegistryRoot() { return UserConfigDir() / "aerial-registry"; }

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// The key's file, or "" for a path that is not a plain key path. Key names are
// case-insensitive, so the file names are folded to lower case.
std::string KeyFile(std::string_view keyPath) {
    fs::path file = RegistryRoot();
    size_t start = 0;
    while (true) {
        size_t end = keyPath.find('\\', start);
        std::string_view part = keyPath.substr(start, end == std::string_view::npos ? end : end - start);
        if (part.empty() || part == "." || part == ".." ||
            part.find_first_of(std::string_view("/\0", 2)) != std::string_view::npos) {
            return {};
        }
        std::string folded(part);
        for (char& c : folded) c = AsciiLower(c);
        if (end == std::string_view::npos) {
            file /= folded + ".values";
            return file.string();
        }
        file /= folded;
        start = end + 1;
    }
}

std::string Encode(std::string_view bytes) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                     c == '.' || c == '_' || c == '-';
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::optional<std::string> Decode(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return std::nullopt;
        int high = HexDigit(text[i + 1]), low = HexDigit(text[i + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

// Lines that cannot be decoded are skipped, so one damaged line loses only itself.
ValueList ReadValues(const std::string& file) {
    ValueList values;
    std::ifstream in(file, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        auto name = Decode(std::string_view(line).substr(0, eq));
        auto data = Decode(std::string_view(line).substr(eq + 1));
        if (name && data) values.emplace_back(std::move(*name), std::move(*data));
    }
    return values;
}

// Written to a temporary file beside the key's file and renamed over it, so a
// crash leaves either the old or the new set of values.
bool WriteValues(const std::string& file, const ValueList& values) {
    std::ostringstream text;
    for (const auto& [name, data] : values) text << Encode(name) << '=' << Encode(data) << '\n';
    const std::string content = text.str();

    std::string pattern = file + ".XXXXXX";
    int fd = mkstemp(pattern.data());
    if (fd < 0) return false;
    bool ok = true;
    for (size_t done = 0; ok && done < content.size();) {
        ssize_t n = write(fd, content.data() + done, content.size() - done);
        ok = n > 0;
        if (ok) done += static_cast<size_t>(n);
    }
    ok = ok && fsync(fd) == 0;
    ok = (close(fd) == 0) && ok;
    ok = ok && std::rename(pattern.c_str(), file.c_str()) == 0;
    if (!ok) unlink(pattern.c_str());
    return ok;
}

ValueList::iterator FindValue(ValueList& values, std::string_view name) {
    for (auto it = values.begin(); it != values.end(); ++it) {
        if (RegistryKey::SameName(it->first, name)) return it;
    }
    return values.end();
}

}  // namespace

bool RegistryKey::SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}

std::optional<RegistryKey> RegistryKey::Open(std::string_view keyPath) {
    std::string file = KeyFile(keyPath);
    std::error_code error;
    if (file.empty() || !fs::is_regular_file(file, error)) return std::nullopt;
    return RegistryKey(file);
}

std::optional<RegistryKey> RegistryKey::Create(std::string_view keyPath) {
    std::string file = KeyFile(keyPath);
    if (file.empty()) return std::nullopt;
    std::error_code error;
    if (fs::is_regular_file(file, error)) return RegistryKey(file);
    fs::create_directories(fs::path(file).parent_path(), error);
    if (error || !WriteValues(file, {})) return std::nullopt;
    return RegistryKey(file);
}

bool RegistryKey::DeleteKey(std::string_view keyPath) {
    std::string file = KeyFile(keyPath);
    if (file.empty()) return false;
    std::error_code error;
    fs::remove(file, error);
    return !error;
}

std::optional<std::string> RegistryKey::QueryValue(std::string_view name) const {
    ValueList values = ReadValues(file_);
    auto it = FindValue(values, name);
    if (it == values.end() || it->second.size() > kMaxValueBytes) return std::nullopt;
    return it->second;
}

bool RegistryKey::SetValue(std::string_view name, std::string_view data) {
    ValueList values = ReadValues(file_);
    auto it = FindValue(values, name);
    if (it != values.end()) {
        it->second = data;
    } else {
        values.emplace_back(name, data);
    }
    return WriteValues(file_, values);
}

bool RegistryKey::DeleteValue(std::string_view name) {
    ValueList values = ReadValues(file_);
    auto it = FindValue(values, name);
    if (it == values.end()) return false;
    values.erase(it);
    return WriteValues(file_, values);
}

std::vector<std::string> RegistryKey::ValueNames() const {
    std::vector<std::string> names;
    for (auto& [name, data] : ReadValues(file_)) names.push_back(std::move(name));
    return names;
}

}  // namespace platform
