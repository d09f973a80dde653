#include "engine/core/data_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <set>
#include <string>

#include "platform/paths.h"
#include "platform/system.h"

namespace {

// One file has one path however the game names it; another folder's file of
// the same name is another file.
std::string DataFilePath(std::string_view name) {
    std::error_code ignored;
    return std::filesystem::absolute(platform::ResolvePath(name), ignored).string();
}

// Whether `path` is new to `paths`, which it then joins.
bool FirstTime(std::set<std::string, std::less<>>& paths, const std::string& path) {
    static std::mutex mutex;
    const std::lock_guard lock(mutex);
    return paths.emplace(path).second;
}

}  // namespace

std::string DatagenCommand(const std::string& programFolder, const std::string& dataFolder) {
    namespace fs = std::filesystem;
    const fs::path beside = fs::path(programFolder) / "datagen";
    std::error_code error;
    const fs::file_status status = fs::status(beside, error);
    if (fs::is_regular_file(status) && (status.permissions() & fs::perms::owner_exec) != fs::perms::none) {
        return beside.string() + " " + dataFolder;
    }
    return "build/bin/datagen " + dataFolder + " (in the game's source tree, after ./scripts/build.sh)";
}

void ReportUnusableDataFile(std::string_view name, std::string_view why) {
    static std::set<std::string, std::less<>> reported;
    const std::string path = DataFilePath(name);
    if (!FirstTime(reported, path)) return;
    const std::string folder = platform::ProgramFolder();
    std::fprintf(stderr, "%s %.*s. Put the game's data files in %s, or write the placeholder data there with: %s\n",
                 path.c_str(), static_cast<int>(why.size()), why.data(), folder.c_str(),
                 DatagenCommand(folder, folder).c_str());
}

bool FirstLookAtDataFile(std::string_view name) {
    static std::set<std::string, std::less<>> looked;
    return FirstTime(looked, DataFilePath(name));
}

std::string DataFileOpenFailure(int error) {
    if (error == ENOENT) return "is missing";
    if (error == EINVAL) return "is not a regular file";
    return std::string("cannot be opened (") + std::strerror(error) + ")";
}
