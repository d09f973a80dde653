#include "tools/launcher/core/file_tree.h"

#include "platform/user_dirs.h"

#include <algorithm>
#include <vector>

namespace launcher {
namespace fs = std::filesystem;
namespace {

void Notify(const std::function<void()>& callback) {
    if (callback) callback();
}

bool ListFolder(const fs::path& folder, std::vector<fs::path>& entries) {
    std::error_code error;
    fs::directory_iterator it(folder, error);
    if (error) return false;
    for (; it != fs::directory_iterator(); it.increment(error)) entries.push_back(it->path());
    if (error) return false;
    std::sort(entries.begin(), entries.end());
    return true;
}

bool CopyLink(const fs::path& source, const fs::path& destination) {
    std::error_code error;
    fs::path target = fs::read_symlink(source, error);
    if (error || fs::is_directory(fs::symlink_status(destination, error))) return false;
    fs::remove(destination, error);
    fs::create_symlink(target, destination, error);
    return !error;
}

bool CopyFile(const fs::path& source, const fs::path& destination) {
    std::error_code error;
    const fs::path part = destination.parent_path() / ("." + destination.filename().string() + ".part");
    fs::remove(part, error);
    const bool copied =
        fs::copy_file(source, part, error) &&
        (fs::permissions(part, fs::status(source, error).permissions() | fs::perms::owner_write, error), !error) &&
        (fs::last_write_time(part, fs::last_write_time(source, error), error), !error) &&
        (fs::rename(part, destination, error), !error);
    if (!copied) fs::remove(part, error);
    return copied;
}

void DeleteContents(const fs::path& folder, const std::function<void()>& entryDone) {
    std::vector<fs::path> entries;
    ListFolder(folder, entries);
    for (const fs::path& entry : entries) {
        std::error_code error;
        if (fs::symlink_status(entry, error).type() == fs::file_type::directory) {
            DeleteContents(entry, entryDone);
        }
        fs::remove(entry, error);
        Notify(entryDone);
    }
}

}  // namespace

int CopyTree(const fs::path& source, const fs::path& destination, const TreeProgress& progress) {
    std::vector<fs::path> entries;
    if (!ListFolder(source, entries)) return 1;
    int failures = 0;
    for (const fs::path& from : entries) {
        const fs::path to = destination / from.filename();
        std::error_code error;
        switch (fs::symlink_status(from, error).type()) {
        case fs::file_type::directory:
            // An existing link in the folder's place is not followed out of the tree.
            fs::create_directory(to, error);
            if (!error && fs::symlink_status(to, error).type() == fs::file_type::directory) {
                failures += CopyTree(from, to, progress);
            } else {
                ++failures;
            }
            break;
        case fs::file_type::regular:
            if (progress.fileStarted) progress.fileStarted(to);
            failures += CopyFile(from, to) ? 0 : 1;
            break;
        case fs::file_type::symlink:
            failures += CopyLink(from, to) ? 0 : 1;
            break;
        default:  // devices, pipes and sockets are no part of a game
            ++failures;
            break;
        }
        Notify(progress.entryDone);
    }
    return failures;
}

bool IsDeletableInstallFolder(const fs::path& folder, std::string_view instDir) {
    fs::path normal = folder.lexically_normal();
    if (!normal.has_filename()) normal = normal.parent_path();  // a trailing separator
    return normal.is_absolute() && !instDir.empty() && normal.filename() == instDir &&
           normal != normal.root_path() && normal != platform::UserHomeDir().lexically_normal();
}

bool DeleteInstallFolder(const fs::path& folder, std::string_view instDir,
                         const std::function<void()>& entryDone) {
    if (!IsDeletableInstallFolder(folder, instDir)) return false;
    std::error_code error;
    if (fs::symlink_status(folder, error).type() == fs::file_type::directory) DeleteContents(folder, entryDone);
    fs::remove(folder, error);
    return true;
}

bool IsSameOrInside(const fs::path& inner, const fs::path& outer) {
    std::error_code error;
    const fs::path a = fs::weakly_canonical(inner, error);
    const fs::path b = fs::weakly_canonical(outer, error);
    auto [outerEnd, innerEnd] = std::mismatch(b.begin(), b.end(), a.begin(), a.end());
    (void)innerEnd;
    return outerEnd == b.end() || (std::next(outerEnd) == b.end() && outerEnd->empty());
}

}  // namespace launcher
