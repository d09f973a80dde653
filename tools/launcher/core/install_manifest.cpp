#include "tools/launcher/core/install_manifest.h"

#include "platform/safe_file.h"
#include "platform/user_dirs.h"

#include <cstdio>

namespace launcher {
namespace fs = std::filesystem;
namespace {

// Paths may hold any byte but NUL, so the records are NUL-terminated: the
// folder, then per entry its kind ('d' folder, 'f' anything else), whether the
// install created it ('1' or '0') and its path relative to the folder.
constexpr uint64_t kMaxManifestBytes = 64 << 20;

}  // namespace

fs::path ManifestPath(std::string_view instDir) {
    return platform::UserConfigDir() / "aerial-launcher" / (std::string(instDir) + ".files");
}

bool WriteManifest(std::string_view instDir, const InstallManifest& manifest) {
    std::string data = manifest.folder.string();
    data += '\0';
    for (const CopyReport::Entry& entry : manifest.entries) {
        data += entry.folder ? 'd' : 'f';
        data += entry.created ? '1' : '0';
        data += entry.path.string();
        data += '\0';
    }
    const fs::path path = ManifestPath(instDir);
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    return platform::WriteFileAtomically(
        path.string(), {reinterpret_cast<const uint8_t*>(data.data()), data.size()});
}

std::optional<InstallManifest> ReadManifest(std::string_view instDir) {
    const platform::FilePtr file = platform::OpenRegularFile(ManifestPath(instDir).string(), kMaxManifestBytes);
    if (!file) return std::nullopt;
    std::string data;
    char chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) data.append(chunk, got);
    if (std::ferror(file.get()) || data.empty() || data.back() != '\0') return std::nullopt;

    InstallManifest manifest;
    size_t start = 0;
    for (size_t end; (end = data.find('\0', start)) != std::string::npos; start = end + 1) {
        const std::string_view record(data.data() + start, end - start);
        if (start == 0) {
            manifest.folder = std::string(record);
            continue;
        }
        if (record.size() < 3 || (record[0] != 'd' && record[0] != 'f') || (record[1] != '0' && record[1] != '1')) {
            return std::nullopt;
        }
        manifest.entries.push_back({fs::path(std::string(record.substr(2))), record[0] == 'd', record[1] == '1'});
    }
    return manifest;
}

void DeleteManifest(std::string_view instDir) {
    std::error_code error;
    fs::remove(ManifestPath(instDir), error);
}

}  // namespace launcher
