#include "tests/support/game_program.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/system.h"
#include "tests/support/data_set.h"
#include "tests/support/screenshot_check.h"

namespace test {

using namespace std::chrono_literals;

TempDir* GameProgramTest::folder_ = nullptr;
std::string GameProgramTest::dataFault_;
std::map<std::string, uint64_t> GameProgramTest::symbols_;

namespace {

// The data symbols of a program file by name, as nm lists them.
std::map<std::string, uint64_t> ReadDataSymbols(const std::string& program) {
    std::map<std::string, uint64_t> symbols;
    FILE* nm = popen(("nm --defined-only '" + program + "' 2>/dev/null").c_str(), "r");
    if (!nm) return symbols;
    char line[1024];
    while (std::fgets(line, sizeof line, nm)) {
        std::istringstream fields(line);
        std::string address, kind, name;
        if (fields >> address >> kind >> name && (kind == "B" || kind == "D" || kind == "b" || kind == "d"))
            symbols[name] = std::stoull(address, nullptr, 16);
    }
    pclose(nm);
    return symbols;
}

// Where a process has loaded the start of a program file: the first mapping
// of the file at offset 0 (a position-independent program's base).
std::optional<uint64_t> LoadBase(pid_t pid, const std::string& program) {
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    const std::string wanted = std::filesystem::weakly_canonical(program).string();
    for (std::string line; std::getline(maps, line);) {
        std::istringstream fields(line);
        std::string range, mode, offset, device, inode, path;
        if (!(fields >> range >> mode >> offset >> device >> inode >> path)) continue;
        if (path == wanted && std::stoull(offset, nullptr, 16) == 0) return std::stoull(range, nullptr, 16);
    }
    return std::nullopt;
}

}  // namespace

std::string DescribeExit(int status) {
    if (WIFEXITED(status)) return "status " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return "signal " + std::to_string(WTERMSIG(status));
    return "wait status " + std::to_string(status);
}

void GameProgramTest::SetUpTestSuite() {
    folder_ = new TempDir;
    std::filesystem::copy_file(platform::ProgramFolder() + "/game", folder_->file("game"));
    dataFault_ = LinkDataSet(folder_->path()) ? "" : "no data set (see the message above)";
}

void GameProgramTest::TearDownTestSuite() {
    delete folder_;
    folder_ = nullptr;
}

std::unique_ptr<ChildProcess> GameProgramTest::StartGame(const XSession& session) {
    // Screenshots are numbered from 0 by each run.
    std::error_code ignored;
    std::filesystem::remove_all(File("screen"), ignored);
    return std::make_unique<ChildProcess>(
        std::vector<std::string>{File("game")},
        std::vector<std::string>{"DISPLAY=" + session.display(), "SDL_VIDEODRIVER=x11", "SDL_AUDIODRIVER=dummy",
                                 "XDG_RUNTIME_DIR=" + Folder()},
        File("game.txt"));
}

std::string GameProgramTest::Screenshot(XSession& session, ChildProcess& game, int n, std::chrono::seconds limit) {
    char name[32];
    std::snprintf(name, sizeof name, "screen/screen%02d.bmp", n);
    const std::string path = File(name);
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (int waited = 0; !ScreenshotFault(path).empty(); waited = (waited + 1) % 8) {
        int status = 0;
        if (game.WaitForExit(0ms, &status) || std::chrono::steady_clock::now() > deadline) return "";
        if (waited == 0) session.keys().Type(XK_space);
        std::this_thread::sleep_for(50ms);
    }
    return path;
}

std::optional<int32_t> GameProgramTest::ReadGlobal(const ChildProcess& game, const std::string& symbol) {
    if (symbols_.empty()) symbols_ = ReadDataSymbols(File("game"));
    const auto found = symbols_.find(symbol);
    if (found == symbols_.end()) return std::nullopt;
    const std::optional<uint64_t> base = LoadBase(game.pid(), File("game"));
    if (!base) return std::nullopt;
    const int memory = open(("/proc/" + std::to_string(game.pid()) + "/mem").c_str(), O_RDONLY);
    if (memory < 0) return std::nullopt;
    int32_t value = 0;
    const bool read = pread(memory, &value, sizeof value, static_cast<off_t>(*base + found->second)) == sizeof value;
    close(memory);
    return read ? std::optional<int32_t>(value) : std::nullopt;
}

bool GameProgramTest::WaitUntil(ChildProcess& game, const std::function<bool()>& done, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (!done()) {
        if (game.WaitForExit(0ms, &status) || std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

bool GameProgramTest::HoldUntil(XSession& session, ChildProcess& game, unsigned long keysym,
                                const std::function<bool()>& done, std::chrono::seconds limit) {
    session.keys().Press(keysym, true);
    const bool reached = WaitUntil(game, done, limit);
    session.keys().Press(keysym, false);
    // The game reads the keys once a frame: two frames after the release the
    // next press is an edge of its own. The frame count restarts each second.
    for (int frames = 0; reached && frames < 2; ++frames) {
        const std::optional<int32_t> before = ReadGlobal(game, "presentedFrames");
        if (!WaitUntil(game, [&] { return ReadGlobal(game, "presentedFrames") != before; }, limit)) return false;
    }
    return reached;
}

void GameProgramTest::ExpectEscapeEndsTheGame(XSession& session, ChildProcess& game) {
    session.keys().Type(XK_Escape);
    int status = 0;
    ASSERT_TRUE(game.WaitForExit(20s, &status)) << "escape did not end the game";
    EXPECT_EQ(DescribeExit(status), "status 0") << ReadTextFile(File("game.txt"));
}

}  // namespace test
