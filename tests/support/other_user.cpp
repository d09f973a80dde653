#include "tests/support/other_user.h"

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "tests/support/damaged_data.h"

namespace test {

bool IsRoot() { return ::geteuid() == 0; }

int RunAsNobody(const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child < 0) return -1;
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) std::_Exit(99);
        std::_Exit(body());
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

std::string MakeFolder(const std::string& parent, const std::string& name, uid_t owner, mode_t mode) {
    const std::string path = (std::filesystem::path(parent) / name).string();
    std::filesystem::create_directory(path);
    if (::chown(path.c_str(), owner, owner) != 0 || ::chmod(path.c_str(), mode) != 0) return "";
    return path;
}

void PlaceFile(const std::string& path, const std::vector<uint8_t>& bytes, uid_t owner, mode_t mode) {
    WriteBinaryFile(path, bytes);
    if (::chown(path.c_str(), owner, owner) != 0) std::filesystem::remove(path);
    ::chmod(path.c_str(), mode);
}

FileState StateOf(const std::string& path) {
    FileState state;
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return state;
    state.exists = true;
    state.inode = info.st_ino;
    state.owner = info.st_uid;
    state.mode = info.st_mode & 07777;
    state.bytes = ReadBinaryFile(path);
    return state;
}

Outcome OutcomeOf(const FileState& before, const FileState& after) {
    if (!before.exists) return after.exists ? Outcome::Created : Outcome::Absent;
    if (!after.exists) return Outcome::Other;
    if (after.inode != before.inode) return Outcome::Replaced;
    if (after.owner != before.owner || after.mode != before.mode) return Outcome::Other;
    return after.bytes == before.bytes ? Outcome::Left : Outcome::InPlace;
}

const char* OutcomeName(Outcome outcome) {
    switch (outcome) {
    case Outcome::Left: return "left as it was";
    case Outcome::InPlace: return "rewritten in place";
    case Outcome::Replaced: return "replaced";
    case Outcome::Created: return "created";
    case Outcome::Absent: return "absent";
    case Outcome::Other: return "changed otherwise";
    }
    return "?";
}

}  // namespace test
