#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "platform/udp_socket.h"

namespace test {

// The peer of every fake network: 127.0.0.1 on the fake port.
constexpr uint16_t kFakePort = 59999;
platform::Ipv4Endpoint FakePeer();

struct FakeDatagram {
    std::vector<uint8_t> bytes;
    platform::Ipv4Endpoint from;
    uint64_t arrivalMs;  // on the fake clock
};

struct SentDatagram {
    std::vector<uint8_t> bytes;
    platform::Ipv4Endpoint to;
    uint64_t timeMs;
};

// What the fake socket sees. Datagrams arrive at their time on a fake clock,
// which moves only when a wait runs out or waits for a later arrival, so a
// 10-second time-out costs nothing. `onSend` plays the peer: it sees every
// datagram sent and may deliver answers.
struct FakeNetwork {
    uint64_t nowMs = 0;
    std::deque<FakeDatagram> inbox;  // ordered by arrival
    std::vector<SentDatagram> sent;
    std::function<void(const SentDatagram&)> onSend;
    bool open = false;
    bool bindFails = false;
    bool readFails = false;
    int opens = 0;
    int closes = 0;  // every Close call, also on a closed socket
    int waits = 0;

    // Queues a datagram that arrives `delayMs` after now.
    void Deliver(std::vector<uint8_t> bytes, platform::Ipv4Endpoint from, uint64_t delayMs = 0);
    void Deliver(std::vector<uint8_t> bytes) { Deliver(std::move(bytes), FakePeer()); }
    // How many queued datagrams have arrived by now.
    size_t Arrived() const;
};

// Makes NetOpen use a fake socket over one FakeNetwork while it lives, and
// closes the network layer when it goes.
class FakeTransport {
public:
    FakeTransport();
    ~FakeTransport();
    FakeTransport(const FakeTransport&) = delete;
    FakeTransport& operator=(const FakeTransport&) = delete;

    FakeNetwork& network() const { return *network_; }

private:
    std::shared_ptr<FakeNetwork> network_;
};

}  // namespace test
