#include "tools/launcher/core/shortcuts.h"

#include "platform/safe_file.h"
#include "platform/user_dirs.h"

#include <unistd.h>

#include <cerrno>

namespace launcher {
namespace fs = std::filesystem;
namespace {

// One element of a file name: separators replaced, never "." or "..".
std::string FileNameElement(std::string_view text) {
    std::string name(text);
    for (char& c : name) {
        if (c == '/') c = '_';
    }
    return (name == "." || name == "..") ? std::string() : name;
}

// The escapes of a desktop entry string value.
std::string EscapeString(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        default: out += c; break;
        }
    }
    return out;
}

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    if (text.size() < suffix.size()) return false;
    for (size_t i = 0; i < suffix.size(); ++i) {
        char c = text[text.size() - suffix.size() + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != suffix[i]) return false;
    }
    return true;
}

constexpr std::string_view kDesktopSuffix = ".desktop";

// The menu shows the shortcut's file name without its extension.
std::string MenuName(const fs::path& linkPath) {
    std::string file = linkPath.filename().string();
    if (file.ends_with(kDesktopSuffix)) file.resize(file.size() - kDesktopSuffix.size());
    return file;
}

}  // namespace

fs::path MakerMenuFolder() { return platform::UserProgramsDir() / "ミルヴァ"; }

// A title that cannot name a folder falls back to the game's folder name.
fs::path GameMenuFolder(std::string_view gameTitle, std::string_view instDir) {
    std::string name = FileNameElement(gameTitle);
    return MakerMenuFolder() / (name.empty() ? FileNameElement(instDir) : name);
}

std::string DesktopFileName(std::string_view shortcutName) {
    std::string name(shortcutName);
    for (std::string_view windowsLink : {".lnk", ".pif", ".url"}) {
        if (EndsWithNoCase(name, windowsLink)) {
            name.resize(name.size() - windowsLink.size());
            break;
        }
    }
    name = FileNameElement(name);
    return name.empty() ? name : name + std::string(kDesktopSuffix);
}

bool IsUsableShortcut(const ShortcutEntry& entry) {
    return !entry.target.empty() && !DesktopFileName(entry.name).empty();
}

std::string QuoteExecArgument(std::string_view argument) {
    std::string quoted = "\"";
    for (char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        if (c == '%') quoted += '%';  // field codes start with '%'
        quoted += c;
    }
    quoted += '"';
    return EscapeString(quoted);
}

std::string DesktopEntry(std::string_view name, const fs::path& target, const fs::path& workingDir,
                         bool executable) {
    std::string exec = QuoteExecArgument(target.string());
    if (!executable) exec = "xdg-open " + exec;
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=" + EscapeString(name) + "\n"
           "Exec=" + exec + "\n"
           "Path=" + EscapeString(workingDir.string()) + "\n"
           "Terminal=false\n"
           "Categories=Game;\n";
}

fs::path TargetPath(const fs::path& installDir, std::string_view target) {
    return fs::path(installDir.string() + "/" + std::string(target));
}

std::error_code CreateShortcut(const fs::path& linkPath, const fs::path& targetPath, const fs::path& workingDir) {
    std::error_code error;
    const bool executable = fs::is_regular_file(targetPath, error) && access(targetPath.c_str(), X_OK) == 0;
    const std::string entry = DesktopEntry(MenuName(linkPath), targetPath, workingDir, executable);
    errno = 0;
    if (platform::WriteFileAtomically(linkPath.string(), {reinterpret_cast<const uint8_t*>(entry.data()), entry.size()})) {
        return {};
    }
    // A folder in the way is refused without a system error.
    return std::error_code(errno ? errno : EISDIR, std::generic_category());
}

ShortcutReport CreateShortcuts(std::string_view gameTitle, std::string_view instDir, const fs::path& installDir,
                               const std::vector<ShortcutEntry>& entries) {
    const fs::path folder = GameMenuFolder(gameTitle, instDir);
    std::error_code error;
    fs::create_directories(folder, error);
    ShortcutReport report;
    for (const ShortcutEntry& entry : entries) {
        if (!IsUsableShortcut(entry)) continue;
        const fs::path link = folder / DesktopFileName(entry.name);
        if (std::error_code failed = CreateShortcut(link, TargetPath(installDir, entry.target), installDir)) {
            ++report.failures;
            if (!report.firstFailure) report.firstFailure = PathFailure{PathFailure::kWrite, link, failed};
        }
    }
    return report;
}

void RemoveShortcuts(std::string_view gameTitle, std::string_view instDir, const std::vector<ShortcutEntry>& entries) {
    const fs::path folder = GameMenuFolder(gameTitle, instDir);
    std::error_code error;
    for (const ShortcutEntry& entry : entries) {
        if (IsUsableShortcut(entry)) fs::remove(folder / DesktopFileName(entry.name), error);
    }
    fs::remove(folder, error);  // each fails while something else is left inside
    fs::remove(MakerMenuFolder(), error);
}

}  // namespace launcher
