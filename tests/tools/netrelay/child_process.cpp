#include "tests/tools/netrelay/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <thread>

extern char** environ;

Child Spawn(const std::vector<std::string>& args, const std::string& output, const std::string& errors) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (!errors.empty()) {
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    }
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    Child child;
    child.output = output;
    if (posix_spawn(&child.pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) child.pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return child;
}

int Wait(const Child& child, std::chrono::steady_clock::time_point deadline) {
    if (child.pid <= 0) return -1;
    int status = 0;
    while (waitpid(child.pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child.pid, SIGKILL);
            waitpid(child.pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ReadText(const std::string& path) {
    std::ifstream file(path);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

namespace {

bool ReadRelayPorts(const std::string& path, std::string* portA, std::string* portB) {
    std::ifstream file(path);
    std::string word, a, b;
    if (!(file >> word) || word != "relay" || !(file >> word) || word != "ports" || !(file >> a >> b)) return false;
    *portA = a;
    *portB = b;
    return true;
}

}  // namespace

bool WaitForRelayPorts(const Child& relay, std::chrono::steady_clock::time_point limit, std::string* portA,
                       std::string* portB) {
    while (relay.pid > 0 && !ReadRelayPorts(relay.output, portA, portB)) {
        if (std::chrono::steady_clock::now() >= limit) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return relay.pid > 0;
}
