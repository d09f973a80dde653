#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Shared by every fuzz target. Each target program runs in a private, empty
// working folder (the readers open their files by bare name, as the game does
// in its program folder), and writes its seed corpus when started with
// --write-seeds=DIR (libFuzzer ignores flags that begin with two dashes).

namespace fuzz {

// Collects the seed files of one target.
class Seeds {
public:
    explicit Seeds(std::string folder) : folder_(std::move(folder)) {}
    void Add(std::string_view name, std::span<const uint8_t> bytes);
    void Add(std::string_view name, std::string_view bytes);
    // Adds a file that one of the project's writers has just written.
    void AddFile(std::string_view name, const std::string& path);

private:
    std::string folder_;
};

void WriteFile(const std::string& path, std::span<const uint8_t> bytes);
// The whole file; empty when it cannot be read.
std::vector<uint8_t> ReadFile(const std::string& path);

bool IsValidUtf8(std::string_view text);

// Stops the run with a report: the fuzzer keeps the input that broke the rule.
[[noreturn]] void Fail(const char* condition, const char* file, int line);

}  // namespace fuzz

#define FUZZ_CHECK(condition) \
    ((condition) ? static_cast<void>(0) : ::fuzz::Fail(#condition, __FILE__, __LINE__))

// Defined by each target: the seed corpus, made with the project's writers in
// the working folder.
void WriteFuzzSeeds(fuzz::Seeds& seeds);
