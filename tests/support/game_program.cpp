#include "tests/support/game_program.h"

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <thread>

#include "platform/system.h"
#include "tests/support/data_set.h"
#include "tests/support/screenshot_check.h"

namespace test {

using namespace std::chrono_literals;

TempDir* GameProgramTest::folder_ = nullptr;
std::string GameProgramTest::dataFault_;

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

void GameProgramTest::ExpectEscapeEndsTheGame(XSession& session, ChildProcess& game) {
    session.keys().Type(XK_Escape);
    int status = 0;
    ASSERT_TRUE(game.WaitForExit(20s, &status)) << "escape did not end the game";
    EXPECT_EQ(DescribeExit(status), "status 0") << ReadTextFile(File("game.txt"));
}

}  // namespace test
