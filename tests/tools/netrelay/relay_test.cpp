#include "tools/netrelay/relay.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/temp_dir.h"

extern char** environ;

// Loopback only: every socket here talks to 127.0.0.1.
namespace {

using Bytes = std::vector<uint8_t>;
const uint32_t kLoopback = platform::ParseIpv4Address("127.0.0.1");

uint16_t FreePort() {
    auto probe = platform::CreateUdpSocket();
    return probe->Open(0) ? probe->LocalPort() : 0;
}

// Two peers and a relay between them, all on loopback.
struct RelayRig {
    explicit RelayRig(RelayOptions options) {
        peerA->Open(0);
        peerB->Open(0);
        options.peerPortA = peerA->LocalPort();
        options.peerPortB = peerB->LocalPort();
        options.relayPortA = FreePort();
        options.relayPortB = FreePort();
        relayPortA = options.relayPortA;
        relayPortB = options.relayPortB;
        relay = std::make_unique<Relay>(options);
    }

    void SendFromA(const Bytes& datagram) { peerA->SendTo({kLoopback, relayPortA}, datagram.data(), datagram.size()); }
    void SendFromB(const Bytes& datagram) { peerB->SendTo({kLoopback, relayPortB}, datagram.data(), datagram.size()); }

    // What reaches a peer while the relay runs for a while.
    static std::vector<Bytes> Drain(platform::UdpSocket& socket) {
        std::vector<Bytes> received;
        for (uint32_t noWait = 0; socket.WaitReadable(&noWait) == platform::SocketWait::READABLE;) {
            Bytes buffer(64);
            const int length = socket.ReceiveFrom(buffer.data(), buffer.size(), nullptr);
            if (length < 0) break;
            buffer.resize(static_cast<size_t>(length));
            received.push_back(buffer);
        }
        return received;
    }

    std::unique_ptr<platform::UdpSocket> peerA = platform::CreateUdpSocket();
    std::unique_ptr<platform::UdpSocket> peerB = platform::CreateUdpSocket();
    uint16_t relayPortA = 0, relayPortB = 0;
    std::unique_ptr<Relay> relay;
};

const Bytes kFirst = {2, 0, 0x10, 0, 0x10, 0};
const Bytes kSecond = {4, 0, 0x20, 0, 0x20, 0};

TEST(Relay, AppliesEachFaultToTheDatagramsItForwards) {
    const struct {
        const char* name;
        RelayOptions options;
        std::vector<Bytes> expected;  // at peer B, in order; empty = check for corruption
    } cases[] = {
        {"clean", {}, {kFirst, kSecond}},
        {"loss", {.loss = 1}, {}},
        {"duplicate", {.duplicate = 1}, {kFirst, kFirst, kSecond, kSecond}},
        {"reorder", {.reorder = 1}, {kSecond, kFirst}},
    };
    for (const auto& c : cases) {
        RelayRig rig(c.options);
        ASSERT_TRUE(rig.relay->Open()) << c.name;
        rig.SendFromA(kFirst);
        rig.SendFromA(kSecond);
        rig.relay->Pump(50);
        EXPECT_EQ(RelayRig::Drain(*rig.peerB), c.expected) << c.name;
        EXPECT_EQ(rig.relay->counts().received, 2u) << c.name;
    }
}

TEST(Relay, CorruptionFlipsOneBitOfAWordCopy) {
    RelayOptions options;
    options.corrupt = 1;
    RelayRig rig(options);
    ASSERT_TRUE(rig.relay->Open());
    for (int i = 0; i < 20; ++i) rig.SendFromA(kFirst);
    rig.relay->Pump(50);
    const std::vector<Bytes> received = RelayRig::Drain(*rig.peerB);
    ASSERT_EQ(received.size(), 20u);
    for (const Bytes& datagram : received) {
        int flipped = 0;
        for (size_t i = 0; i < kFirst.size(); ++i) {
            const uint8_t difference = datagram[i] ^ kFirst[i];
            EXPECT_TRUE(difference == 0 || i >= 2) << "byte " << i;
            flipped += __builtin_popcount(difference);
        }
        EXPECT_EQ(flipped, 1);
    }
}

TEST(Relay, AHeldDatagramGoesOnByItselfAndTheWayBackWorks) {
    RelayOptions options;
    options.reorder = 1;
    options.holdMs = 10;
    RelayRig rig(options);
    ASSERT_TRUE(rig.relay->Open());
    rig.SendFromB(kFirst);
    rig.relay->Pump(60);
    EXPECT_EQ(RelayRig::Drain(*rig.peerA), std::vector<Bytes>{kFirst});
    EXPECT_FALSE(rig.relay->Pump(20)) << "nothing more arrived";
}

// A child process whose standard output goes to a file.
struct Child {
    pid_t pid = -1;
    std::string output;
};

Child Spawn(const std::vector<std::string>& args, const std::string& output) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    Child child;
    child.output = output;
    if (posix_spawn(&child.pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) child.pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return child;
}

// The child's exit status, or -1 when it had to be killed at the deadline.
int Wait(const Child& child, std::chrono::steady_clock::time_point deadline) {
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

std::string Read(const std::string& path) {
    std::ifstream file(path);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// One match: a relay and two peer processes, with their output files.
struct Match {
    std::string slowLine;
    Child relay, a, b;
};

Match StartMatch(const test::TempDir& dir, const std::string& slowLine) {
    const std::string portA = std::to_string(FreePort()), portB = std::to_string(FreePort());
    const std::string relayA = std::to_string(FreePort()), relayB = std::to_string(FreePort());
    const std::string name = dir.file("line" + slowLine + "_");
    Match match{slowLine, {}, {}, {}};
    match.relay = Spawn({NETRELAY_PATH, "--peer-a", portA, "--peer-b", portB, "--relay-a", relayA, "--relay-b",
                         relayB, "--seed", "7", "--loss", "0.01", "--duplicate", "0.05", "--reorder", "0.05",
                         "--corrupt", "0.03", "--idle-ms", "4000", "--max-ms", "60000"},
                        name + "relay.txt");
    match.a = Spawn({NETRELAY_PEER_PATH, "0", portA, relayA, "200", slowLine}, name + "a.txt");
    match.b = Spawn({NETRELAY_PEER_PATH, "1", portB, relayB, "200", slowLine}, name + "b.txt");
    return match;
}

TEST(RelayLoopback, TwoPeerProcessesAgreeOnEveryWordThroughALossyRelay) {
    test::TempDir dir;
    // Both send intervals at once, each match on its own ports.
    std::vector<Match> matches = {StartMatch(dir, "0"), StartMatch(dir, "1")};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    for (const Match& match : matches) {
        ASSERT_GT(match.relay.pid, 0);
        ASSERT_GT(match.a.pid, 0);
        ASSERT_GT(match.b.pid, 0);
        EXPECT_EQ(Wait(match.a, deadline), 0);
        EXPECT_EQ(Wait(match.b, deadline), 0);
        EXPECT_EQ(Wait(match.relay, deadline + std::chrono::seconds(10)), 0);
        const std::string outputA = Read(match.a.output), outputB = Read(match.b.output);
        EXPECT_EQ(outputA.rfind("connected 1 mismatches 0 hash ", 0), 0u) << outputA;
        EXPECT_EQ(outputA, outputB) << "slow line " << match.slowLine;
        std::printf("slow line %s, relay: %s", match.slowLine.c_str(), Read(match.relay.output).c_str());
    }
}

}  // namespace
