#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/system.h"
#include "tests/support/temp_dir.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;

// The game program beside this test program, run with its standard error
// written to a file. Its single-instance lock lives in `runtimeDir`, so that
// a game the user (or another test run) has open cannot stand in for the
// first copy.
class GameProcess {
public:
    GameProcess(const std::string& stderrPath, const std::string& runtimeDir) {
        std::string program = platform::ProgramFolder() + "/game";
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        char* argv[] = {program.data(), nullptr};
        std::vector<std::string> variables{"XDG_RUNTIME_DIR=" + runtimeDir};
        for (char** v = environ; *v; ++v)
            if (std::strncmp(*v, "XDG_RUNTIME_DIR=", 16) != 0) variables.emplace_back(*v);
        std::vector<char*> envp;
        for (std::string& v : variables) envp.push_back(v.data());
        envp.push_back(nullptr);
        if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, envp.data()) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~GameProcess() {
        if (pid_ > 0 && !exited_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    pid_t pid() const { return pid_; }

    // Waits up to `limit` for the end; true with the wait status when it ended.
    bool WaitForExit(std::chrono::milliseconds limit, int* status) {
        auto deadline = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < deadline) {
            if (waitpid(pid_, status, WNOHANG) == pid_) return exited_ = true;
            std::this_thread::sleep_for(10ms);
        }
        return false;
    }

    // True once the process holds a flock (its single-instance lock).
    bool HoldsLock() const {
        std::string folder = "/proc/" + std::to_string(pid_) + "/fdinfo";
        DIR* dir = opendir(folder.c_str());
        if (!dir) return false;
        bool found = false;
        while (dirent* entry = readdir(dir)) {
            std::ifstream info(folder + "/" + entry->d_name);
            std::stringstream text;
            text << info.rdbuf();
            if (text.str().find("FLOCK") != std::string::npos) found = true;
        }
        closedir(dir);
        return found;
    }

private:
    pid_t pid_ = -1;
    bool exited_ = false;
};

std::string ReadFile(const std::string& path) {
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

TEST(GameProcessTest, ASecondCopyEndsAtOnceAndTheFirstClosesOnTerminate) {
    test::TempDir dir;
    GameProcess first(dir.file("first.txt"), dir.path());
    ASSERT_GT(first.pid(), 0);
    int status = 0;
    auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!first.HoldsLock()) {
        ASSERT_FALSE(first.WaitForExit(0ms, &status)) << "the first copy ended: " << ReadFile(dir.file("first.txt"));
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the first copy never took its lock";
        std::this_thread::sleep_for(10ms);
    }

    GameProcess second(dir.file("second.txt"), dir.path());
    ASSERT_TRUE(second.WaitForExit(20s, &status)) << "the second copy kept running";
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_NE(ReadFile(dir.file("second.txt")).find("2重起動は出来ません"), std::string::npos);

    ASSERT_FALSE(first.WaitForExit(0ms, &status)) << "the first copy ended with the second";
    kill(first.pid(), SIGTERM);
    ASSERT_TRUE(first.WaitForExit(20s, &status)) << "the first copy ignored SIGTERM";
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
