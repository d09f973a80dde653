#pragma once
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <vector>

#include "platform/udp_socket.h"

// A lossy datagram relay between two network peers on this machine, for tests
// of network play: peer A sends to the relay's port A, which forwards out of
// port B to peer B, and back the other way. Every datagram may be dropped,
// duplicated, held back behind the next one, or have one bit of its first six
// bytes flipped (any field of a packet: its frame or command, its word or the
// word's copy), and every copy sent may be delayed, by a time that varies
// around a mean (which reorders datagrams close together as a real line
// does). The faults come from one seeded generator, so a run is repeatable
// for the same order of datagrams. Each peer is a host of its own (loopback
// unless told otherwise), and only datagrams from that host are relayed.
// Ports left 0 are chosen by the system (the relay's) or learnt from the first
// datagram each peer sends (the peers'); until then a peer gets nothing.

struct RelayOptions {
    uint32_t peerHostA = platform::ParseIpv4Address("127.0.0.1");
    uint32_t peerHostB = platform::ParseIpv4Address("127.0.0.1");
    uint16_t peerPortA = 0, peerPortB = 0;    // where peers A and B listen; 0: learnt
    uint16_t relayPortA = 0, relayPortB = 0;  // where the relay listens for A and for B; 0: any
    uint32_t seed = 1;
    double loss = 0, duplicate = 0, reorder = 0, corrupt = 0;  // chances per datagram
    uint32_t holdMs = 20;  // a held datagram goes on after this at the latest
    // Each copy sent waits delayMs, plus or minus up to jitterMs (evenly spread).
    uint32_t delayMs = 0, jitterMs = 0;
    // The select screen's packets (connect packets, select words and requests
    // for frame 0: a first field of -11 or -30, or -40 with the value 0) are
    // only delayed: the plain format cannot tell a lost, repeated or damaged
    // select word from the next one.
    bool spareSelect = false;
};

struct RelayCounts {
    uint64_t received = 0, forwarded = 0, dropped = 0, duplicated = 0, reordered = 0, corrupted = 0;
    // The most datagrams that came from each peer within any one second: a
    // peer that floods the other shows here, however short its flood.
    uint64_t busiestSecondFromA = 0, busiestSecondFromB = 0;
};

class Relay {
public:
    explicit Relay(const RelayOptions& options);
    Relay(const Relay&) = delete;  // the directions point into the counts
    Relay& operator=(const Relay&) = delete;
    // False when either relay port could not be bound.
    bool Open();
    // Serves both directions for up to `milliseconds`; false when nothing
    // arrived in that time.
    bool Pump(uint32_t milliseconds);
    const RelayCounts& counts() const { return counts_; }
    // The ports bound by Open.
    uint16_t relayPortA() const { return socketA_->LocalPort(); }
    uint16_t relayPortB() const { return socketB_->LocalPort(); }

private:
    struct Direction {
        platform::UdpSocket* in;
        platform::UdpSocket* out;
        uint32_t fromHost, toHost;
        uint16_t toPort;  // 0 until the peer's port is known
        std::optional<std::vector<uint8_t>> held;
        uint64_t heldSinceMs = 0;
        std::multimap<uint64_t, std::vector<uint8_t>> delayed;  // by the time each goes out
        std::deque<uint64_t> lastSecond;  // when each datagram of the last second came in
        uint64_t* busiestSecond;          // where the most of them is counted
    };

    bool Chance(double probability);
    bool ServeOne(Direction& direction, Direction& back);
    void Forward(Direction& direction, std::vector<uint8_t> datagram);
    void Send(Direction& direction, const std::vector<uint8_t>& datagram);
    void SendNow(Direction& direction, const std::vector<uint8_t>& datagram);
    void ReleaseStale(Direction& direction);
    void ReleaseDue(Direction& direction);
    void CountArrival(Direction& direction);

    RelayOptions options_;
    std::mt19937 random_;
    std::unique_ptr<platform::UdpSocket> socketA_, socketB_;
    Direction toB_, toA_;
    uint64_t nowMs_ = 0;  // time served so far
    RelayCounts counts_;
};
