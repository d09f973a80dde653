#include "tools/netrelay/relay.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tests/tools/netrelay/child_process.h"

// Loopback only: every socket here talks to 127.0.0.1.
namespace {

using Bytes = std::vector<uint8_t>;
const uint32_t kLoopback = platform::ParseIpv4Address("127.0.0.1");

// Two peers and a relay between them, all on loopback, on ports the system
// chose; the relay is open when `opened`. Without `tellPeerPorts` the relay
// learns them.
struct RelayRig {
    explicit RelayRig(RelayOptions options, bool tellPeerPorts = true) {
        peerA->Open(0);
        peerB->Open(0);
        if (tellPeerPorts) {
            options.peerPortA = peerA->LocalPort();
            options.peerPortB = peerB->LocalPort();
        }
        relay = std::make_unique<Relay>(options);
        opened = relay->Open();
        relayPortA = relay->relayPortA();
        relayPortB = relay->relayPortB();
    }

    void SendFromA(const Bytes& datagram) { peerA->SendTo({kLoopback, relayPortA}, datagram.data(), datagram.size()); }
    void SendFromB(const Bytes& datagram) { peerB->SendTo({kLoopback, relayPortB}, datagram.data(), datagram.size()); }

    // Runs the relay until `done` holds; false when a generous deadline
    // passed first (a loaded machine may take long to deliver a datagram).
    template <class Done>
    bool PumpUntil(Done done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            relay->Pump(5);
        }
        return true;
    }

    // Runs the relay until `count` datagrams have reached peer B (all that
    // arrived, in order, when the deadline passed first); then a moment more
    // for any that should not come.
    std::vector<Bytes> PumpUntilBHas(size_t count) {
        std::vector<Bytes> received;
        const auto take = [&] {
            for (Bytes& datagram : Drain(*peerB)) received.push_back(std::move(datagram));
        };
        PumpUntil([&] {
            take();
            return received.size() >= count;
        });
        relay->Pump(20);
        take();
        return received;
    }

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
    std::unique_ptr<Relay> relay;
    bool opened = false;
    uint16_t relayPortA = 0, relayPortB = 0;
};

const Bytes kFirst = {2, 0, 0x10, 0, 0x10, 0};
const Bytes kSecond = {4, 0, 0x20, 0, 0x20, 0};

TEST(Relay, AppliesEachFaultToTheDatagramsItForwards) {
    const struct {
        const char* name;
        RelayOptions options;
        std::vector<Bytes> expected;  // at peer B, in order
    } cases[] = {
        {"clean", {}, {kFirst, kSecond}},
        {"loss", {.loss = 1}, {}},
        {"duplicate", {.duplicate = 1}, {kFirst, kFirst, kSecond, kSecond}},
        {"reorder", {.reorder = 1}, {kSecond, kFirst}},
    };
    for (const auto& c : cases) {
        RelayRig rig(c.options);
        ASSERT_TRUE(rig.opened) << c.name;
        rig.SendFromA(kFirst);
        rig.SendFromA(kSecond);
        EXPECT_TRUE(rig.PumpUntil([&] { return rig.relay->counts().received == 2; })) << c.name;
        EXPECT_EQ(rig.PumpUntilBHas(c.expected.size()), c.expected) << c.name;
        EXPECT_EQ(rig.relay->counts().received, 2u) << c.name;
    }
}

TEST(Relay, CorruptionFlipsOneBitOfAnyOfTheSixBytes) {
    RelayOptions options;
    options.corrupt = 1;
    RelayRig rig(options);
    ASSERT_TRUE(rig.opened);
    constexpr int kDatagrams = 120;
    for (int i = 0; i < kDatagrams; ++i) rig.SendFromA(kFirst);
    const std::vector<Bytes> received = rig.PumpUntilBHas(kDatagrams);
    ASSERT_EQ(received.size(), static_cast<size_t>(kDatagrams));
    int damagedAt[6] = {};
    for (const Bytes& datagram : received) {
        int flipped = 0;
        for (size_t i = 0; i < kFirst.size(); ++i) {
            const uint8_t difference = datagram[i] ^ kFirst[i];
            damagedAt[i] += difference != 0;
            flipped += __builtin_popcount(difference);
        }
        EXPECT_EQ(flipped, 1);
    }
    // The frame bytes are damaged too, not only the word and its copy.
    for (int i = 0; i < 6; ++i) EXPECT_GT(damagedAt[i], 0) << "byte " << i;
}

TEST(Relay, LearnsEachPeersPortFromItsFirstDatagram) {
    RelayRig rig({}, false);
    ASSERT_TRUE(rig.opened);
    rig.SendFromA(kFirst);  // B is not known yet: nowhere to go
    rig.relay->Pump(30);
    rig.SendFromB(kSecond);
    rig.relay->Pump(30);
    rig.SendFromA(kFirst);
    rig.relay->Pump(30);
    EXPECT_EQ(RelayRig::Drain(*rig.peerA), std::vector<Bytes>{kSecond});
    EXPECT_EQ(RelayRig::Drain(*rig.peerB), std::vector<Bytes>{kFirst});
    EXPECT_EQ(rig.relay->counts().received, 3u);
    EXPECT_EQ(rig.relay->counts().forwarded, 2u);
}

// A burst counts within its second; datagrams a second apart do not add up.
TEST(Relay, CountsTheMostDatagramsEachPeerSentWithinOneSecond) {
    RelayRig rig({});
    ASSERT_TRUE(rig.opened);
    for (int i = 0; i < 5; ++i) rig.SendFromA(kFirst);
    for (int i = 0; i < 2; ++i) rig.SendFromB(kSecond);
    EXPECT_TRUE(rig.PumpUntil([&] { return rig.relay->counts().received == 7; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    for (int i = 0; i < 3; ++i) rig.SendFromA(kFirst);
    EXPECT_TRUE(rig.PumpUntil([&] { return rig.relay->counts().received == 10; }));
    EXPECT_EQ(rig.relay->counts().busiestSecondFromA, 5u);
    EXPECT_EQ(rig.relay->counts().busiestSecondFromB, 2u);
}

TEST(Relay, AHeldDatagramGoesOnByItselfAndTheWayBackWorks) {
    RelayOptions options;
    options.reorder = 1;
    options.holdMs = 10;
    RelayRig rig(options);
    ASSERT_TRUE(rig.opened);
    rig.SendFromB(kFirst);
    rig.relay->Pump(60);
    EXPECT_EQ(RelayRig::Drain(*rig.peerA), std::vector<Bytes>{kFirst});
    EXPECT_FALSE(rig.relay->Pump(20)) << "nothing more arrived";
}

// With spareSelect, the select screen's packets pass every fault untouched
// while the battle's datagrams still meet them.
TEST(Relay, SparesTheSelectScreensPacketsWhenAsked) {
    RelayOptions options;
    options.loss = 1;
    options.spareSelect = true;
    RelayRig rig(options);
    ASSERT_TRUE(rig.opened);
    const Bytes connect = {0xF5, 0xFF, 0, 0, 0, 0}, word = {0xE2, 0xFF, 0x10, 0, 0, 0};
    const Bytes selectRequest = {0xD8, 0xFF, 0, 0, 0, 0}, battleRequest = {0xD8, 0xFF, 2, 0, 0, 0};
    const Bytes start = {0xF3, 0xFF, 0, 0, 0, 0};
    for (const Bytes& datagram : {connect, kFirst, word, battleRequest, selectRequest, start}) rig.SendFromA(datagram);
    rig.relay->Pump(50);
    EXPECT_EQ(RelayRig::Drain(*rig.peerB), (std::vector<Bytes>{connect, word, selectRequest}));
}

// Each copy goes on after the delay, spread by the jitter, so that datagrams
// sent close together may change places.
TEST(Relay, DelaysEachCopyByATimeAroundTheMean) {
    RelayOptions options;
    options.delayMs = 60;
    options.jitterMs = 40;
    RelayRig rig(options);
    ASSERT_TRUE(rig.opened);
    constexpr int kDatagrams = 40;
    const auto sent = std::chrono::steady_clock::now();
    for (int i = 0; i < kDatagrams; ++i) rig.SendFromA({static_cast<uint8_t>(i), 0, 0, 0, 0, 0});
    rig.relay->Pump(10);
    std::vector<Bytes> received = RelayRig::Drain(*rig.peerB);
    // The relay took each datagram after `sent`; a loaded machine may have
    // let the shortest delay pass by now, and then nothing can be told.
    const auto shortest = std::chrono::milliseconds(options.delayMs - options.jitterMs);
    if (std::chrono::steady_clock::now() - sent < shortest) {
        EXPECT_TRUE(received.empty()) << "none before the shortest delay";
    }
    for (Bytes& datagram : rig.PumpUntilBHas(kDatagrams - received.size())) received.push_back(std::move(datagram));
    ASSERT_EQ(received.size(), static_cast<size_t>(kDatagrams));
    bool reordered = false;
    for (size_t i = 1; i < received.size(); ++i) reordered |= received[i][0] < received[i - 1][0];
    EXPECT_TRUE(reordered);
}

// A peer on another host: only its datagrams are relayed, the loopback's not.
TEST(Relay, TakesDatagramsOnlyFromEachPeersHost) {
    RelayOptions options;
    options.peerHostA = platform::ParseIpv4Address("127.0.0.2");
    RelayRig rig(options);
    ASSERT_TRUE(rig.opened);
    rig.SendFromA(kFirst);  // from 127.0.0.1
    rig.SendFromB(kSecond);
    rig.relay->Pump(30);
    EXPECT_TRUE(RelayRig::Drain(*rig.peerB).empty());
    EXPECT_EQ(rig.relay->counts().received, 1u);
}

// One match: a relay and two peer processes, with their output files. Every
// port is chosen by the system when it is bound and the relay learns the
// peers' from their datagrams, so no two tests can pick the same one.
struct Match {
    std::string slowLine;
    Child relay, a, b;
};

// Generous limits: on a loaded machine a process may wait long for a CPU.
constexpr auto kRelayStartLimit = std::chrono::seconds(30);
constexpr auto kMatchLimit = std::chrono::seconds(240);

Match StartMatch(const test::TempDir& dir, const std::string& slowLine) {
    const std::string name = dir.file("line" + slowLine + "_");
    Match match{slowLine, {}, {}, {}};
    match.relay = Spawn({NETRELAY_PATH, "--seed", "7", "--loss", "0.01", "--duplicate", "0.05", "--reorder", "0.05",
                         "--corrupt", "0.03", "--idle-ms", "10000", "--max-ms", "300000"},
                        name + "relay.txt");
    std::string relayA, relayB;
    if (!WaitForRelayPorts(match.relay, std::chrono::steady_clock::now() + kRelayStartLimit, &relayA, &relayB)) {
        return match;  // the peers are not started: the test fails on their pids
    }
    match.a = Spawn({NETRELAY_PEER_PATH, "0", "0", relayA, "200", slowLine}, name + "a.txt");
    match.b = Spawn({NETRELAY_PEER_PATH, "1", "0", relayB, "200", slowLine}, name + "b.txt");
    return match;
}

TEST(RelayLoopback, TwoPeerProcessesAgreeOnEveryWordThroughALossyRelay) {
    test::TempDir dir;
    // Both send intervals at once, each match through its own relay.
    std::vector<Match> matches = {StartMatch(dir, "0"), StartMatch(dir, "1")};
    const auto deadline = std::chrono::steady_clock::now() + kMatchLimit;
    for (const Match& match : matches) {
        ASSERT_GT(match.relay.pid, 0);
        ASSERT_GT(match.a.pid, 0) << "the relay printed no ports: " << ReadText(match.relay.output);
        ASSERT_GT(match.b.pid, 0);
        EXPECT_EQ(Wait(match.a, deadline), 0);
        EXPECT_EQ(Wait(match.b, deadline), 0);
        EXPECT_EQ(Wait(match.relay, deadline + std::chrono::seconds(30)), 0);
        const std::string outputA = ReadText(match.a.output), outputB = ReadText(match.b.output);
        EXPECT_EQ(outputA.rfind("connected 1 mismatches 0 hash ", 0), 0u) << outputA;
        EXPECT_EQ(outputA, outputB) << "slow line " << match.slowLine;
        std::printf("slow line %s, relay: %s", match.slowLine.c_str(), ReadText(match.relay.output).c_str());
    }
}

}  // namespace
