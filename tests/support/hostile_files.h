#pragma once
// Hostile things to put in a program folder, and a bound on how long code
// under test may take with them.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/safe_file.h"

namespace test {

inline void MakeFifo(const std::filesystem::path& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0) << path; }

inline std::string FileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void PutText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Gives a file of `size` bytes that costs no disk: `head` and then a hole.
inline void MakeSparseFile(const std::filesystem::path& path, const std::vector<uint8_t>& head, off_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(head.data(), 1, head.size(), file);
    std::fclose(file);
    ASSERT_EQ(::truncate(path.c_str(), size), 0);
}

// Runs `body` in a child that a 20-second alarm ends: a hang or an abort
// fails the test instead of stopping the whole run. The child exits with
// the code `body` returns.
#define EXPECT_BOUNDED(body, code)                                                     \
    EXPECT_EXIT(                                                                       \
        {                                                                              \
            ::alarm(20);                                                               \
            std::_Exit(static_cast<int>(body));                                        \
        },                                                                             \
        ::testing::ExitedWithCode(code), "")

// Lets the atomic writer fail after `budget` bytes, as a full disk or a
// crash would, for the life of the object.
class FailingWrites {
public:
    explicit FailingWrites(size_t budget) {
        budget_ = budget;
        platform::writeCall = [](int fd, const void* data, size_t size) -> ssize_t {
            if (budget_ == 0) {
                errno = ENOSPC;
                return -1;
            }
            const size_t now = size < budget_ ? size : budget_;
            budget_ -= now;
            return ::write(fd, data, now);
        };
    }
    ~FailingWrites() { platform::writeCall = ::write; }
    FailingWrites(const FailingWrites&) = delete;
    FailingWrites& operator=(const FailingWrites&) = delete;

private:
    static inline size_t budget_ = 0;
};

}  // namespace test
