#pragma once
// Child processes for the tests that start network peers and relays: each
// runs with its standard output in a file, which the test reads afterwards.
#include <chrono>
#include <map>
#include <string>
#include <vector>

#include <sys/types.h>

struct Child {
    pid_t pid = -1;  // -1 when it could not be started
    std::string output;
};

// With `errors` set, standard error goes to that file as well.
Child Spawn(const std::vector<std::string>& args, const std::string& output, const std::string& errors = {});

// Kills the child (SIGKILL: a game that crashed or was killed says nothing
// to its peer) and reaps it; its pid is then forgotten, so that no later
// signal can reach a process that took the number over.
void Stop(Child& child);

// The child's exit status, or -1 when it had to be killed at the deadline.
int Wait(const Child& child, std::chrono::steady_clock::time_point deadline);

// Asks the child to end (SIGTERM: the relay then prints its report) and
// waits for it as Wait does; its pid is then forgotten, its output kept.
int Terminate(Child& child, std::chrono::steady_clock::time_point deadline);

// Tells a slow run of some children from a stuck one: stuck when in a
// whole `window` they together used less than `least` of processor time. A
// stuck match waits on its sockets with nothing to compute; a slow one, on a
// loaded machine, still gets a share of a processor and computes.
class ProgressWatch {
public:
    ProgressWatch(std::vector<pid_t> pids, std::chrono::seconds window = std::chrono::seconds(90),
                  std::chrono::milliseconds least = std::chrono::milliseconds(500));
    bool Stuck();

private:
    std::chrono::milliseconds UsedSoFar();

    std::vector<pid_t> pids_;
    std::vector<std::chrono::milliseconds> lastSeen_;  // a child's time stays counted once it is gone
    std::chrono::seconds window_;
    std::chrono::milliseconds least_;
    std::chrono::steady_clock::time_point windowStart_;
    std::chrono::milliseconds usedAtWindowStart_;
};

// The child's exit status, or -1 when it had to be killed once `watch`
// found it stuck.
int Wait(const Child& child, ProgressWatch& watch);

// A whole file's text; empty when it cannot be read.
std::string ReadText(const std::string& path);

// The ports a relay prints first ("relay ports A B"), waiting for them until
// `limit`; false when the relay printed none by then.
bool WaitForRelayPorts(const Child& relay, std::chrono::steady_clock::time_point limit, std::string* portA,
                       std::string* portB);

// The relay's closing counts, by name ("dropped", "busiest-second-from-a", ...).
std::map<std::string, long> ReadRelayCounts(const Child& relay);

// The most packets a side of a match may send within one second, which the
// relay counts. A game sends one packet of its own a frame at most (a
// connect packet a frame while it looks for its peer, a word every 2 or 3
// frames, 31 start packets a second in its start handshake) and answers each
// of the peer's once at most (a select request with one word): 60 of its
// own and 60 answers. That is doubled for a loaded machine, whose processes run late and
// then work off at once what waited for them. A flood, where each round trip
// doubles the traffic, passes it within a fraction of a second.
constexpr long kMostPacketsASecond = 240;

// The relay's count of the busiest second of either side; -1 when it told
// none.
long BusiestSecond(const Child& relay);

// Two UDP ports that were free a moment ago, for peers that bind their own
// (a game started again binds its port again); empty when none was free.
std::vector<std::string> FreePorts();
