#include "fuzz/fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

namespace fuzz {
namespace {

namespace fs = std::filesystem;

fs::path workFolder;

void RemoveWorkFolder() {
    std::error_code ec;
    fs::current_path(fs::temp_directory_path(ec), ec);
    fs::remove_all(workFolder, ec);
}

// The readers' file traffic is most of the time of a run: a folder in memory
// (/dev/shm) where the system has one, else the temporary folder.
fs::path ScratchParent() {
    std::error_code ec;
    if (fs::is_directory("/dev/shm", ec) && access("/dev/shm", W_OK) == 0) return "/dev/shm";
    return fs::temp_directory_path();
}

// A new empty folder, made the current one.
void EnterWorkFolder() {
    std::string pattern = (ScratchParent() / "aerial-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    workFolder = pattern;
    fs::current_path(workFolder);
    // Nothing a target writes through the user's folders reaches the real ones.
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"}) {
        const fs::path folder = workFolder / name;
        fs::create_directories(folder);
        setenv(name, folder.c_str(), 1);
    }
    std::atexit(RemoveWorkFolder);
}

}  // namespace

void Seeds::Add(std::string_view name, std::span<const uint8_t> bytes) {
    WriteFile((fs::path(folder_) / name).string(), bytes);
}

void Seeds::Add(std::string_view name, std::string_view bytes) {
    Add(name, std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

void Seeds::AddFile(std::string_view name, const std::string& path) {
    const std::vector<uint8_t> bytes = ReadFile(path);
    if (bytes.empty()) Fail(("the writer wrote " + path).c_str(), __FILE__, __LINE__);
    Add(name, bytes);
}

void WriteFile(const std::string& path, std::span<const uint8_t> bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) Fail(("writing " + path).c_str(), __FILE__, __LINE__);
}

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool IsValidUtf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        size_t length = 0;
        uint32_t code = 0;
        if (c < 0x80) {
            length = 1, code = c;
        } else if ((c & 0xE0) == 0xC0) {
            length = 2, code = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            length = 3, code = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            length = 4, code = c & 0x07;
        } else {
            return false;
        }
        if (i + length > text.size()) return false;
        for (size_t k = 1; k < length; ++k) {
            const auto t = static_cast<unsigned char>(text[i + k]);
            if ((t & 0xC0) != 0x80) return false;
            code = (code << 6) | (t & 0x3F);
        }
        static constexpr uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += length;
    }
    return true;
}

void Fail(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
    std::abort();
}

}  // namespace fuzz

// libFuzzer calls this once before the first input, before it reads its flags.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    namespace fs = std::filesystem;
    constexpr std::string_view kSeedFlag = "--write-seeds=";
    constexpr std::string_view kArtifactFlag = "-artifact_prefix=";
    std::string seedFolder;
    // The run happens in a working folder of its own: corpus folders and the
    // artifact prefix given relative to the starting folder are made absolute
    // first, and crash inputs go to the starting folder by default, not into
    // the working folder that is removed at the end.
    static std::vector<std::string> texts{(*argv)[0], std::string(kArtifactFlag) + fs::current_path().string() + "/"};
    for (int i = 1; i < *argc; ++i) {
        const std::string_view arg = (*argv)[i];
        if (arg.starts_with(kSeedFlag)) {
            seedFolder = fs::absolute(std::string(arg.substr(kSeedFlag.size()))).string();
        } else if (arg.starts_with(kArtifactFlag)) {
            // absolute() keeps a trailing separator: a folder stays a folder.
            texts[1] = std::string(kArtifactFlag) + fs::absolute(std::string(arg.substr(kArtifactFlag.size()))).string();
            continue;
        }
        texts.push_back(arg.starts_with('-') ? std::string(arg) : fs::absolute(std::string(arg)).string());
    }
    static std::vector<char*> arguments;
    for (std::string& text : texts) arguments.push_back(text.data());
    *argc = static_cast<int>(arguments.size());
    arguments.push_back(nullptr);
    *argv = arguments.data();

    fuzz::EnterWorkFolder();
    if (!seedFolder.empty()) {
        fs::create_directories(seedFolder);
        fuzz::Seeds seeds(seedFolder);
        WriteFuzzSeeds(seeds);
        std::exit(0);
    }
    return 0;
}
