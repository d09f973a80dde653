#include "tools/launcher/core/setup_file.h"

#include "platform/cp932.h"
#include "tools/launcher/core/failure_text.h"
#include "tools/launcher/core/texts.h"

#include <algorithm>

namespace launcher {
namespace {

constexpr std::string_view kSection = "Setup";

// A file that cannot be read reads as a missing one, whose values are the
// defaults; the window says why (Problem).
template <typename Value, typename Read>
Value OrDefault(Read read, Value defaultValue) {
    try {
        return read();
    } catch (const UnreadableIniFile&) {
        return defaultValue;
    }
}

}  // namespace

std::optional<std::string> SetupFile::Problem() const {
    const std::error_code error = ini_.Check();
    if (!error) return std::nullopt;
    return DescribeFailure(text::kSettingsFile, ini_.path().filename(), error);
}

std::string SetupFile::ReadBytes(std::string_view key) const {
    return OrDefault([&] { return ini_.ReadString(kSection, key, ""); }, std::string());
}

std::string SetupFile::ReadText(std::string_view key) const { return platform::Cp932ToUtf8(ReadBytes(key)); }

int SetupFile::ReadInteger(std::string_view key) const {
    return OrDefault([&] { return ini_.ReadInteger(kSection, key, 0); }, 0);
}

std::string SetupFile::GameTitle() const { return ReadText("GAME_TITLE"); }

std::string SetupFile::InstDir() const { return ReadText("INST_DIR"); }

std::string SetupFile::InstDirBytes() const { return ReadBytes("INST_DIR"); }

int SetupFile::FileNum() const { return std::max(0, ReadInteger("FILE_NUM")); }

int SetupFile::ShortcutCount() const { return std::clamp(ReadInteger("SC_NUM"), 0, kMaxShortcuts); }

std::vector<ShortcutEntry> SetupFile::LoadShortcutTable() const {
    std::vector<ShortcutEntry> table(ShortcutCount());
    for (size_t i = 0; i < table.size(); ++i) {
        table[i].target = ReadText("SC_TARGET" + std::to_string(i));
        table[i].name = ReadText("SC_NAME" + std::to_string(i));
    }
    return table;
}

bool IsPlainName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

bool IsSafeInstDir(std::string_view instDir) {
    return IsPlainName(instDir) && instDir.find('\\') == std::string_view::npos;
}

}  // namespace launcher
