#include "tools/netrelay/relay.h"

#include <algorithm>
#include <chrono>

namespace {

constexpr size_t kMaxDatagram = 512;

uint64_t NowMs() {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}

}  // namespace

Relay::Relay(const RelayOptions& options)
    : options_(options),
      random_(options.seed),
      socketA_(platform::CreateUdpSocket()),
      socketB_(platform::CreateUdpSocket()),
      toB_{socketA_.get(), socketB_.get(), options.peerHostA, options.peerHostB, options.peerPortB,
           {}, 0, {}, {}, &counts_.busiestSecondFromA},
      toA_{socketB_.get(), socketA_.get(), options.peerHostB, options.peerHostA, options.peerPortA,
           {}, 0, {}, {}, &counts_.busiestSecondFromB} {}

bool Relay::Open() { return socketA_->Open(options_.relayPortA) && socketB_->Open(options_.relayPortB); }

namespace {

bool IsSelectPacket(const std::vector<uint8_t>& datagram) {
    if (datagram.size() < 6) return false;
    const auto field = [&datagram](int i) { return static_cast<int16_t>(datagram[2 * i] | datagram[2 * i + 1] << 8); };
    return field(0) == -11 || field(0) == -30 || (field(0) == -40 && field(1) == 0);
}

}  // namespace

bool Relay::Chance(double probability) {
    return std::uniform_real_distribution<double>(0.0, 1.0)(random_) < probability;
}

bool Relay::Pump(uint32_t milliseconds) {
    const uint64_t deadline = NowMs() + milliseconds;
    bool any = false;
    for (;;) {
        const bool served = ServeOne(toB_, toA_) | ServeOne(toA_, toB_);
        any |= served;
        for (Direction* direction : {&toB_, &toA_}) {
            ReleaseStale(*direction);
            ReleaseDue(*direction);
        }
        const uint64_t now = NowMs();
        if (now >= deadline) return any;
        if (served) continue;
        // Short waits on one socket keep both directions and the held
        // datagrams moving.
        uint32_t slice = 1;
        socketA_->WaitReadable(&slice);
    }
}

// `back` is the way to the peer that sent to direction.in.
bool Relay::ServeOne(Direction& direction, Direction& back) {
    uint32_t noWait = 0;
    if (direction.in->WaitReadable(&noWait) != platform::SocketWait::READABLE) return false;
    std::vector<uint8_t> datagram(kMaxDatagram);
    platform::Ipv4Endpoint from{};
    const int length = direction.in->ReceiveFrom(datagram.data(), datagram.size(), &from);
    if (length < 0) return false;
    if (from.address != direction.fromHost) return true;
    if (back.toPort == 0) back.toPort = from.port;
    datagram.resize(std::min(static_cast<size_t>(length), kMaxDatagram));
    CountArrival(direction);
    Forward(direction, std::move(datagram));
    return true;
}

void Relay::CountArrival(Direction& direction) {
    const uint64_t now = NowMs();
    direction.lastSecond.push_back(now);
    while (now - direction.lastSecond.front() >= 1000) direction.lastSecond.pop_front();
    *direction.busiestSecond = std::max<uint64_t>(*direction.busiestSecond, direction.lastSecond.size());
}

void Relay::Forward(Direction& direction, std::vector<uint8_t> datagram) {
    ++counts_.received;
    // Every datagram draws the same four chances, whatever happens to it.
    const bool lose = Chance(options_.loss);
    const bool damage = Chance(options_.corrupt);
    const bool twice = Chance(options_.duplicate);
    const bool hold = Chance(options_.reorder);
    const uint32_t flip = random_();
    if (options_.spareSelect && IsSelectPacket(datagram)) {
        Send(direction, datagram);
        return;
    }
    if (lose) {
        ++counts_.dropped;
        return;
    }
    if (damage && datagram.size() >= 6) {
        datagram[flip % 6] ^= static_cast<uint8_t>(1u << (flip / 6 % 8));
        ++counts_.corrupted;
    }
    if (hold && !direction.held) {
        direction.held = std::move(datagram);
        direction.heldSinceMs = NowMs();
        ++counts_.reordered;
        return;
    }
    Send(direction, datagram);
    if (twice) {
        Send(direction, datagram);
        ++counts_.duplicated;
    }
    if (direction.held) {
        Send(direction, *direction.held);
        direction.held.reset();
    }
}

void Relay::Send(Direction& direction, const std::vector<uint8_t>& datagram) {
    if (options_.delayMs == 0 && options_.jitterMs == 0) {
        SendNow(direction, datagram);
        return;
    }
    int64_t wait = options_.delayMs;
    if (options_.jitterMs > 0) {
        const auto jitter = static_cast<int64_t>(options_.jitterMs);
        wait += std::uniform_int_distribution<int64_t>(-jitter, jitter)(random_);
    }
    direction.delayed.emplace(NowMs() + static_cast<uint64_t>(std::max<int64_t>(wait, 0)), datagram);
}

void Relay::SendNow(Direction& direction, const std::vector<uint8_t>& datagram) {
    if (direction.toPort == 0) return;  // that peer has not been heard from yet
    direction.out->SendTo({direction.toHost, direction.toPort}, datagram.data(), datagram.size());
    ++counts_.forwarded;
}

void Relay::ReleaseDue(Direction& direction) {
    const uint64_t now = NowMs();
    while (!direction.delayed.empty() && direction.delayed.begin()->first <= now) {
        SendNow(direction, direction.delayed.begin()->second);
        direction.delayed.erase(direction.delayed.begin());
    }
}

void Relay::ReleaseStale(Direction& direction) {
    if (!direction.held || NowMs() - direction.heldSinceMs < options_.holdMs) return;
    Send(direction, *direction.held);
    direction.held.reset();
}
