#pragma once
#include "tools/launcher/core/file_tree.h"

#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

namespace launcher {

// What an install put into a folder that was there before it (and may hold
// the user's own files): the uninstall removes only these entries and keeps
// the folder. Kept per game in the user's configuration folder.
struct InstallManifest {
    std::filesystem::path folder;
    std::vector<CopyReport::Entry> entries;
};

std::filesystem::path ManifestPath(std::string_view instDir);
bool WriteManifest(std::string_view instDir, const InstallManifest& manifest);
// Empty when there is none or it cannot be read.
std::optional<InstallManifest> ReadManifest(std::string_view instDir);
void DeleteManifest(std::string_view instDir);

}  // namespace launcher
