#pragma once
// Child processes for the tests that start network peers and relays: each
// runs with its standard output in a file, which the test reads afterwards.
#include <chrono>
#include <string>
#include <vector>

#include <sys/types.h>

struct Child {
    pid_t pid = -1;  // -1 when it could not be started
    std::string output;
};

// With `errors` set, standard error goes to that file as well.
Child Spawn(const std::vector<std::string>& args, const std::string& output, const std::string& errors = {});

// The child's exit status, or -1 when it had to be killed at the deadline.
int Wait(const Child& child, std::chrono::steady_clock::time_point deadline);

// A whole file's text; empty when it cannot be read.
std::string ReadText(const std::string& path);

// The ports a relay prints first ("relay ports A B"), waiting for them until
// `limit`; false when the relay printed none by then.
bool WaitForRelayPorts(const Child& relay, std::chrono::steady_clock::time_point limit, std::string* portA,
                       std::string* portB);
