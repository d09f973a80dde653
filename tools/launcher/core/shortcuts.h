#pragma once
#include "tools/launcher/core/file_tree.h"
#include "tools/launcher/core/setup_file.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace launcher {

// The game's Start-menu shortcuts, as desktop entries in the user's
// applications menu: <applications>/ミルヴァ/<game title>/<name>.desktop.
std::filesystem::path MakerMenuFolder();
std::filesystem::path GameMenuFolder(std::string_view gameTitle, std::string_view instDir);

// The desktop entry file name for a shortcut name: a Windows link extension
// (.lnk, .pif, .url) becomes ".desktop", any other name gets it added. Empty
// for a name that leaves nothing to show ("", ".", "..", ".lnk").
std::string DesktopFileName(std::string_view shortcutName);

// Whether an entry can make a shortcut: it has a name to show and a target.
// Entries past the listed ones (a count larger than the list) have neither.
bool IsUsableShortcut(const ShortcutEntry& entry);

// One argument of an Exec line, quoted and escaped by the desktop entry
// rules (the quoting rules of Exec, then the escapes of a string value).
std::string QuoteExecArgument(std::string_view argument);

// The text of a desktop entry that starts `target` in `workingDir`: the file
// itself when executable, else through the desktop's opener.
std::string DesktopEntry(std::string_view name, const std::filesystem::path& target,
                         const std::filesystem::path& workingDir, bool executable);

// A shortcut target inside the install folder. The target is appended as
// text, so even a target written as an absolute path stays inside.
std::filesystem::path TargetPath(const std::filesystem::path& installDir, std::string_view target);

// Writes one shortcut; the system's reason when the file could not be written.
std::error_code CreateShortcut(const std::filesystem::path& linkPath, const std::filesystem::path& targetPath,
                               const std::filesystem::path& workingDir);

struct ShortcutReport {
    int failures = 0;
    std::optional<PathFailure> firstFailure;
};

// Creates the game's menu folder and one shortcut per usable entry, with
// targets relative to installDir.
ShortcutReport CreateShortcuts(std::string_view gameTitle, std::string_view instDir,
                               const std::filesystem::path& installDir, const std::vector<ShortcutEntry>& entries);

// Removes the usable entries' shortcuts and the game's menu folder; the
// maker's folder goes too once no other game's menu is left in it.
void RemoveShortcuts(std::string_view gameTitle, std::string_view instDir,
                     const std::vector<ShortcutEntry>& entries);

}  // namespace launcher
