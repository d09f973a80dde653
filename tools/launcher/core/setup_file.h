#pragma once
#include "tools/launcher/core/ini_file.h"

#include <optional>
#include <string>
#include <vector>

namespace launcher {

// One Start-menu shortcut: its file name inside the game's menu folder and
// its target relative to the install folder (both UTF-8).
struct ShortcutEntry {
    std::string name;
    std::string target;
};

// The launcher's settings file "Setup.ini", section "Setup". Its texts are
// CP932 bytes; these accessors return them as UTF-8, ready for file names,
// the registry and the widgets. A file that is missing or cannot be read
// gives the defaults; Problem says why.
class SetupFile {
public:
    explicit SetupFile(std::filesystem::path iniPath) : ini_(std::move(iniPath)) {}

    // Why the file cannot be used, in the user's words; nullopt when it can.
    std::optional<std::string> Problem() const;

    std::string GameTitle() const;
    std::string InstDir() const;
    // "INST_DIR" as the file holds it, not converted.
    std::string InstDirBytes() const;
    // The number of files and folders in the game folder, for the progress
    // bar; never negative.
    int FileNum() const;
    // "SC_NUM", kept within 0 .. kMaxShortcuts.
    int ShortcutCount() const;
    std::vector<ShortcutEntry> LoadShortcutTable() const;
    const std::filesystem::path& path() const { return ini_.path(); }

    static constexpr int kMaxShortcuts = 1000;

private:
    std::string ReadBytes(std::string_view key) const;
    std::string ReadText(std::string_view key) const;
    int ReadInteger(std::string_view key) const;
    IniFile ini_;
};

// One element of a path on this system: not empty, not "." or "..", no '/'
// and no NUL.
bool IsPlainName(std::string_view name);

// "INST_DIR" names a folder of its own everywhere it is used (beside the
// launcher, inside the install folder, in the registry), so it must be one
// plain folder name: not empty, no path separator, not "." or "..".
bool IsSafeInstDir(std::string_view instDir);

}  // namespace launcher
