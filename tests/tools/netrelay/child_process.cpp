#include "tests/tools/netrelay/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include "platform/udp_socket.h"

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

namespace {

// Waits for the child until `giveUp` says to kill it.
template <class GiveUp>
int WaitUnless(const Child& child, GiveUp giveUp) {
    if (child.pid <= 0) return -1;
    int status = 0;
    while (waitpid(child.pid, &status, WNOHANG) == 0) {
        if (giveUp()) {
            kill(child.pid, SIGKILL);
            waitpid(child.pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The user and system time of a process, read from /proc/PID/stat (fields
// 14 and 15, after the parenthesised name, which may hold spaces); -1 when
// it is gone.
std::chrono::milliseconds ProcessorTime(pid_t pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const size_t nameEnd = text.rfind(')');
    if (nameEnd == std::string::npos) return std::chrono::milliseconds(-1);
    std::istringstream fields(text.substr(nameEnd + 1));
    std::string field;
    for (int skip = 3; skip < 14 && fields >> field; ++skip) {
    }
    long long user = 0, system = 0;
    if (!(fields >> user >> system)) return std::chrono::milliseconds(-1);
    return std::chrono::milliseconds((user + system) * 1000 / sysconf(_SC_CLK_TCK));
}

}  // namespace

void Stop(Child& child) {
    if (child.pid <= 0) return;
    kill(child.pid, SIGKILL);
    waitpid(child.pid, nullptr, 0);
    child.pid = -1;
}

int Wait(const Child& child, std::chrono::steady_clock::time_point deadline) {
    return WaitUnless(child, [deadline] { return std::chrono::steady_clock::now() > deadline; });
}

int Terminate(Child& child, std::chrono::steady_clock::time_point deadline) {
    if (child.pid <= 0) return -1;
    kill(child.pid, SIGTERM);
    const int status = Wait(child, deadline);
    child.pid = -1;
    return status;
}

ProgressWatch::ProgressWatch(std::vector<pid_t> pids, std::chrono::seconds window, std::chrono::milliseconds least)
    : pids_(std::move(pids)),
      lastSeen_(pids_.size(), std::chrono::milliseconds(0)),
      window_(window),
      least_(least),
      windowStart_(std::chrono::steady_clock::now()),
      usedAtWindowStart_(UsedSoFar()) {}

std::chrono::milliseconds ProgressWatch::UsedSoFar() {
    std::chrono::milliseconds sum(0);
    for (size_t i = 0; i < pids_.size(); ++i) {
        const std::chrono::milliseconds now = pids_[i] > 0 ? ProcessorTime(pids_[i]) : std::chrono::milliseconds(-1);
        if (now.count() >= 0) lastSeen_[i] = now;
        sum += lastSeen_[i];
    }
    return sum;
}

bool ProgressWatch::Stuck() {
    const auto now = std::chrono::steady_clock::now();
    if (now - windowStart_ < window_) return false;
    const std::chrono::milliseconds used = UsedSoFar();
    if (used - usedAtWindowStart_ < least_) return true;
    windowStart_ = now;
    usedAtWindowStart_ = used;
    return false;
}

int Wait(const Child& child, ProgressWatch& watch) {
    return WaitUnless(child, [&watch] { return watch.Stuck(); });
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

std::map<std::string, long> ReadRelayCounts(const Child& relay) {
    std::istringstream text(ReadText(relay.output));
    std::map<std::string, long> counts;
    std::string name;
    for (long count = 0; text >> name;) {
        if (text >> count) counts[name] = count;
        else text.clear();
    }
    return counts;
}

long BusiestSecond(const Child& relay) {
    const std::map<std::string, long> counts = ReadRelayCounts(relay);
    long busiest = -1;
    for (const char* side : {"busiest-second-from-a", "busiest-second-from-b"}) {
        if (counts.count(side)) busiest = std::max(busiest, counts.at(side));
    }
    return busiest;
}

std::vector<std::string> FreePorts() {
    auto a = platform::CreateUdpSocket(), b = platform::CreateUdpSocket();
    if (!a->Open(0) || !b->Open(0)) return {};
    return {std::to_string(a->LocalPort()), std::to_string(b->LocalPort())};
}
