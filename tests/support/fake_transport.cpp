#include "tests/support/fake_transport.h"

#include <algorithm>

#include "engine/devices/network.h"

namespace test {

platform::Ipv4Endpoint FakePeer() { return {platform::ParseIpv4Address("127.0.0.1"), kFakePort}; }

void FakeNetwork::Deliver(std::vector<uint8_t> bytes, platform::Ipv4Endpoint from, uint64_t delayMs) {
    FakeDatagram datagram{std::move(bytes), from, nowMs + delayMs};
    auto later = std::upper_bound(inbox.begin(), inbox.end(), datagram.arrivalMs,
                                  [](uint64_t time, const FakeDatagram& d) { return time < d.arrivalMs; });
    inbox.insert(later, std::move(datagram));
}

size_t FakeNetwork::Arrived() const {
    return static_cast<size_t>(std::count_if(inbox.begin(), inbox.end(),
                                             [this](const FakeDatagram& d) { return d.arrivalMs <= nowMs; }));
}

namespace {

class FakeUdpSocket final : public platform::UdpSocket {
public:
    explicit FakeUdpSocket(std::shared_ptr<FakeNetwork> network) : net_(std::move(network)) {}

    bool Open(uint16_t) override {
        ++net_->opens;
        net_->open = !net_->bindFails;
        return net_->open;
    }
    void Close() override {
        ++net_->closes;
        net_->open = false;
        net_->inbox.clear();
    }
    bool IsOpen() const override { return net_->open; }
    uint16_t LocalPort() const override { return net_->open ? kFakePort : 0; }

    bool SendTo(const platform::Ipv4Endpoint& to, const void* data, size_t length) override {
        if (!net_->open) return false;
        const auto* bytes = static_cast<const uint8_t*>(data);
        net_->sent.push_back({{bytes, bytes + length}, to, net_->nowMs});
        if (net_->onSend) net_->onSend(net_->sent.back());
        return true;
    }

    int ReceiveFrom(void* buffer, size_t size, platform::Ipv4Endpoint* from) override {
        if (!net_->open || net_->readFails || net_->Arrived() == 0) return -1;
        FakeDatagram datagram = std::move(net_->inbox.front());
        net_->inbox.pop_front();
        std::copy_n(datagram.bytes.begin(), std::min(size, datagram.bytes.size()), static_cast<uint8_t*>(buffer));
        if (from) *from = datagram.from;
        return static_cast<int>(datagram.bytes.size());
    }

    platform::SocketWait WaitReadable(uint32_t* remainingMs) override {
        ++net_->waits;
        if (!net_->open) return platform::SocketWait::FAILED;
        const uint64_t deadline = net_->nowMs + *remainingMs;
        if (!net_->inbox.empty() && net_->inbox.front().arrivalMs <= deadline) {
            net_->nowMs = std::max(net_->nowMs, net_->inbox.front().arrivalMs);
            *remainingMs = static_cast<uint32_t>(deadline - net_->nowMs);
            return platform::SocketWait::READABLE;
        }
        net_->nowMs = deadline;
        *remainingMs = 0;
        return platform::SocketWait::TIMED_OUT;
    }

private:
    std::shared_ptr<FakeNetwork> net_;
};

}  // namespace

FakeTransport::FakeTransport() : network_(std::make_shared<FakeNetwork>()) {
    SetNetSocketFactory([network = network_] { return std::make_unique<FakeUdpSocket>(network); });
}

FakeTransport::~FakeTransport() { SetNetSocketFactory(nullptr); }

}  // namespace test
