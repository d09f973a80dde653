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

// What tells one version of a file from another: a replaced file has
// another inode, and any write changes the status-change time (which no
// caller can set back).
struct FileVersion {
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t size = 0;
    int64_t modifiedNs = 0;
    int64_t changedNs = 0;
    bool operator==(const FileVersion&) const = default;
};

// The version of an open file; false when it cannot be read.
bool VersionOf(std::FILE* file, FileVersion* version);

// Whether the file was last changed long enough ago (2 s) that a change now
// gets other times, even where the file system keeps whole or even seconds.
// A version that is not settled may hide a change made in the same tick.
bool IsSettled(const FileVersion& version);

// Saves `bytes` as the whole of the file `path`, the way every program saves
// its own files (settings, progress, rankings, replays, screenshots):
// - a file whose permission bits do not let this user write it is left as it
//   is (EACCES). The bits are read as for any user: the superuser's power to
//   write regardless is not used, so a read-only file or another user's file
//   is protected from the superuser's programs as well. They are read again
//   on the opened file (or, for a whole replacement, just before the
//   rename), so that a mode changed after the first look is obeyed;
// - a file that a new file could not stand in for (another owner or group,
//   other hard links, whose other names then see the new bytes) or that lies
//   in a folder this user may not write is rewritten in place, keeping its
//   inode, owner and mode: only the bytes that differ are written, the new
//   size is reserved before the first of them, and a write that fails part
//   way puts the old bytes back;
// - anything else is replaced whole through WriteFileAtomically.
// A symbolic link at `path` is replaced, never followed; a folder, FIFO or
// device there is refused. 0 when saved, else an errno value; a file not
// saved is named on standard error with the reason, and whether it is as it
// was.
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

// The calls that open the files a save writes, write the new bytes and
// flush files and folders to the disk, replaceable to test failures, what
// changes between a check and the open, and the order of the flushes.
using OpenCall = int (*)(const char* path, int flags, mode_t mode);
using WriteCall = ssize_t (*)(int fd, const void* data, size_t size);
using SyncCall = int (*)(int fd);
extern OpenCall openCall;
extern WriteCall writeCall;
extern SyncCall syncCall;

}  // namespace platform
