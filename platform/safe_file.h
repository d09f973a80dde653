#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace platform {

// Files in the program folder may be anything a user or an attacker put
// there: a FIFO that never delivers a byte, a device, a directory, a symbolic
// link to a file elsewhere. Every program reads and writes its files through
// these helpers.

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Opens `path` for binary reading without blocking on a FIFO or device; null
// unless it names a regular file (a link to one is followed) of at most
// `maxBytes` bytes. errno tells why.
FilePtr OpenRegularFile(const std::string& path, uint64_t maxBytes = UINT64_MAX);

// Saves `bytes` as the whole of the file `path`, the way every program saves
// its own files (settings, progress, rankings, replays, screenshots):
// - a file whose permission bits do not let this user write it is left as it
//   is (EACCES). The bits are read as for any user: the superuser's power to
//   write regardless is not used, so a read-only file or another user's file
//   is protected from the superuser's programs as well;
// - a file that a new file could not stand in for (another owner or group,
//   other hard links) or that lies in a folder this user may not write is
//   rewritten in place, keeping its inode, owner and mode: only the bytes
//   that differ are written, so a failure part way cuts nothing else;
// - anything else is replaced whole through WriteFileAtomically.
// A symbolic link at `path` is replaced, never followed; a folder, FIFO or
// device there is refused. 0 when saved, else an errno value.
int SaveFile(const std::string& path, std::span<const uint8_t> bytes);

// Replaces `path` with `bytes` as a whole: the bytes go to a new file in the
// same folder, which is flushed to the disk and then renamed over `path`,
// and the folder is flushed after the rename. A reader, or the disk after a
// power loss, holds the old file or the new one, never a torn one; a
// symbolic link at `path` is replaced, never followed, so nothing outside
// the folder is created or changed. False (with the old file untouched, and
// errno telling why) when anything fails.
bool WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes);

// The name of the file whose writer's temporary `name` (a bare file name) is:
// ".system.dat.tmp3" belongs to "system.dat". Empty when `name` is no
// temporary of the writer.
std::string TemporaryTarget(std::string_view name);

// Removes what writes of `path` that were killed part way left beside it
// (see RemoveLeftoverTemporary). WriteFileAtomically does this before each
// write.
void RemoveLeftoverTemporaries(const std::string& path);

// Removes the writer's temporary file `temporary` when it was left behind:
// a regular file of this user that no running writer holds (a writer locks
// its temporary while it writes).
void RemoveLeftoverTemporary(const std::string& temporary);

// Writes all of `bytes` at the file's offset through writeCall; false on the
// first failure (errno tells why).
bool WriteAll(int fd, std::span<const uint8_t> bytes);

// The calls that write the new bytes and flush files and folders to the
// disk, replaceable to test failures and the order of the flushes.
using WriteCall = ssize_t (*)(int fd, const void* data, size_t size);
using SyncCall = int (*)(int fd);
extern WriteCall writeCall;
extern SyncCall syncCall;

}  // namespace platform
