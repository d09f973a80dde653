#include "tools/launcher/core/setup_file.h"

#include "platform/cp932.h"

#include <algorithm>

namespace launcher {
namespace {
constexpr std::string_view kSection = "Setup";
}

std::string SetupFile::ReadText(std::string_view key) const {
    return platform::Cp932ToUtf8(ini_.ReadString(kSection, key, ""));
}

std::string SetupFile::GameTitle() const { return ReadText("GAME_TITLE"); }

std::string SetupFile::InstDir() const { return ReadText("INST_DIR"); }

int SetupFile::FileNum() const { return std::max(0, ini_.ReadInteger(kSection, "FILE_NUM", 0)); }

int SetupFile::ShortcutCount() const {
    return std::clamp(ini_.ReadInteger(kSection, "SC_NUM", 0), 0, kMaxShortcuts);
}

std::vector<ShortcutEntry> SetupFile::LoadShortcutTable() const {
    std::vector<ShortcutEntry> table(ShortcutCount());
    for (size_t i = 0; i < table.size(); ++i) {
        table[i].target = ReadText("SC_TARGET" + std::to_string(i));
        table[i].name = ReadText("SC_NAME" + std::to_string(i));
    }
    return table;
}

bool IsSafeInstDir(std::string_view instDir) {
    return !instDir.empty() && instDir != "." && instDir != ".." &&
           instDir.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

}  // namespace launcher
