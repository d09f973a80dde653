#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <sys/types.h>

namespace platform {

// Files in the program folder may be anything a user or an attacker put
// there: a FIFO that never delivers a byte, a device, a directory, a symbolic
// link to a file elsewhere. Every program reads and writes its files through
// these two helpers.

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Opens `path` for binary reading without blocking on a FIFO or device; null
// unless it names a regular file (a link to one is followed) of at most
// `maxBytes` bytes. errno tells why.
FilePtr OpenRegularFile(const std::string& path, uint64_t maxBytes = UINT64_MAX);

// Replaces `path` with `bytes` as a whole: the bytes go to a new file in the
// same folder, which is then renamed over `path`. A reader finds the old file
// or the new one, never a torn one; a symbolic link at `path` is replaced,
// never followed, so nothing outside the folder is created or changed. False
// (with the old file untouched) when anything fails.
bool WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes);

// Removes what writes of `path` that were killed part way left beside it:
// the writer's temporary files, when they are regular files of this user
// that no running writer holds (a writer locks its temporary while it
// writes). WriteFileAtomically does this before each write.
void RemoveLeftoverTemporaries(const std::string& path);

// Writes all of `bytes` at the file's offset through writeCall; false on the
// first failure (errno tells why).
bool WriteAll(int fd, std::span<const uint8_t> bytes);

// The call that writes the new file's bytes, replaceable to test failures.
using WriteCall = ssize_t (*)(int fd, const void* data, size_t size);
extern WriteCall writeCall;

}  // namespace platform
