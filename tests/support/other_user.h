#pragma once
// Files as another user sees them: code run as the user nobody in a child
// process, and what a save did to a file.
#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace test {

constexpr uid_t kNobody = 65534;  // and its group
constexpr uid_t kRoot = 0;

bool IsRoot();

// Runs `body` in a child process as the user nobody (its user and group, no
// other groups) and waits for it: the child's exit code, -1 when it did not
// exit, 99 when it could not become nobody. Takes the superuser.
int RunAsNobody(const std::function<int()>& body);

// A folder under `parent` (which nobody must be able to pass) owned by
// `owner` and its group with `mode`; its path.
std::string MakeFolder(const std::string& parent, const std::string& name, uid_t owner, mode_t mode);
// Writes `bytes` to `path` and gives the file to `owner` (and its group) with `mode`.
void PlaceFile(const std::string& path, const std::vector<uint8_t>& bytes, uid_t owner, mode_t mode);

struct FileState {
    bool exists = false;
    ino_t inode = 0;
    uid_t owner = 0;
    mode_t mode = 0;
    std::vector<uint8_t> bytes;
};
FileState StateOf(const std::string& path);

// What a save did to a file, from its states before and after.
enum class Outcome {
    Left,      // byte- and inode-identical, owner and mode kept
    InPlace,   // new bytes in the same inode, owner and mode kept
    Replaced,  // a new inode
    Created,   // there only after
    Absent,    // there neither before nor after
    Other,     // anything else (an owner or mode changed in place, ...)
};
Outcome OutcomeOf(const FileState& before, const FileState& after);
const char* OutcomeName(Outcome outcome);

}  // namespace test
