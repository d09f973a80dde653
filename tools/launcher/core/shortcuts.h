#pragma once
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
// (.lnk, .pif, .url) becomes ".desktop", any other name gets it added.
std::string DesktopFileName(std::string_view shortcutName);

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

// Writes one shortcut; false when the file could not be written.
bool CreateShortcut(const std::filesystem::path& linkPath, const std::filesystem::path& targetPath,
                    const std::filesystem::path& workingDir);

// Creates the game's menu folder and one shortcut per entry, with targets
// relative to installDir; returns the number of shortcuts not written.
int CreateShortcuts(std::string_view gameTitle, std::string_view instDir, const std::filesystem::path& installDir,
                    const std::vector<ShortcutEntry>& entries);

// Removes the entries' shortcuts and the game's menu folder; the maker's
// folder goes too once no other game's menu is left in it.
void RemoveShortcuts(std::string_view gameTitle, std::string_view instDir,
                     const std::vector<ShortcutEntry>& entries);

}  // namespace launcher
