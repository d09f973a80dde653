#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <vector>

#include "platform/udp_socket.h"

// A lossy datagram relay between two network peers on this machine, for tests
// of network play: peer A sends to the relay's port A, which forwards out of
// port B to peer B, and back the other way. Every datagram may be dropped,
// duplicated, held back behind the next one, or have one bit of a word copy
// flipped (bytes 2 to 5 of a packet: the damage its second copy exists to
// catch). The faults come from one seeded generator, so a run is repeatable
// for the same order of datagrams. Only loopback datagrams are relayed.

struct RelayOptions {
    uint16_t peerPortA = 0, peerPortB = 0;    // where peers A and B listen
    uint16_t relayPortA = 0, relayPortB = 0;  // where the relay listens for A and for B
    uint32_t seed = 1;
    double loss = 0, duplicate = 0, reorder = 0, corrupt = 0;  // chances per datagram
    uint32_t holdMs = 20;  // a held datagram goes on after this at the latest
};

struct RelayCounts {
    uint64_t received = 0, forwarded = 0, dropped = 0, duplicated = 0, reordered = 0, corrupted = 0;
};

class Relay {
public:
    explicit Relay(const RelayOptions& options);
    // False when either relay port could not be bound.
    bool Open();
    // Serves both directions for up to `milliseconds`; false when nothing
    // arrived in that time.
    bool Pump(uint32_t milliseconds);
    const RelayCounts& counts() const { return counts_; }

private:
    struct Direction {
        platform::UdpSocket* in;
        platform::UdpSocket* out;
        uint16_t toPort;
        std::optional<std::vector<uint8_t>> held;
        uint64_t heldSinceMs = 0;
    };

    bool Chance(double probability);
    bool ServeOne(Direction& direction);
    void Forward(Direction& direction, std::vector<uint8_t> datagram);
    void Send(Direction& direction, const std::vector<uint8_t>& datagram);
    void ReleaseStale(Direction& direction);

    RelayOptions options_;
    std::mt19937 random_;
    std::unique_ptr<platform::UdpSocket> socketA_, socketB_;
    Direction toB_, toA_;
    uint64_t nowMs_ = 0;  // time served so far
    RelayCounts counts_;
};
