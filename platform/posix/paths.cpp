#include "platform/paths.h"

#include <dirent.h>
#include <sys/stat.h>

#include "platform/cp932.h"

namespace platform {
namespace {

bool Exists(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Compares character by character so that trail bytes of two-byte characters
// are never folded.
bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    size_t i = 0;
    while (i < a.size()) {
        size_t length = Cp932CharLength(a.substr(i));
        if (length == 2) {
            if (a.compare(i, 2, b.substr(i, 2)) != 0) return false;
        } else if (FoldAscii(a[i]) != FoldAscii(b[i])) {
            return false;
        }
        i += length;
    }
    return true;
}

// The entry of `folder` whose name equals `name` without regard to case, or
// `name` itself when none does.
std::string FindEntry(const std::string& folder, const std::string& name) {
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return name;
    std::string found = name;
    while (dirent* entry = readdir(dir)) {
        if (SameNameIgnoringCase(entry->d_name, name)) {
            found = entry->d_name;
            break;
        }
    }
    closedir(dir);
    return found;
}

}  // namespace

std::string ToSlashPath(std::string_view windowsPath) {
    std::string out;
    out.reserve(windowsPath.size());
    size_t i = 0;
    while (i < windowsPath.size()) {
        size_t length = Cp932CharLength(windowsPath.substr(i));
        if (length == 1 && windowsPath[i] == '\\') {
            out += '/';
        } else {
            out.append(windowsPath.substr(i, length));
        }
        i += length;
    }
    return out;
}

std::string ResolvePath(std::string_view windowsPath) {
    std::string path = ToSlashPath(windowsPath);
    if (path.empty() || Exists(path)) return path;
    std::string resolved;
    size_t start = 0;
    if (path[0] == '/') {
        resolved = "/";
        start = 1;
    }
    while (start <= path.size()) {
        size_t slash = path.find('/', start);
        if (slash == std::string::npos) slash = path.size();
        std::string name = path.substr(start, slash - start);
        if (!name.empty() && name != "." && name != "..") {
            std::string candidate = resolved + name;
            if (!Exists(candidate)) name = FindEntry(resolved, name);
        }
        resolved += name;
        if (slash < path.size()) resolved += '/';
        start = slash + 1;
    }
    return resolved;
}

}  // namespace platform
