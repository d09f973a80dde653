#include "platform/udp_socket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <ctime>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {

uint32_t ParseIpv4Address(const char* text) {
    return text ? inet_addr(text) : IPV4_ADDRESS_NONE;
}

namespace {

uint64_t MonotonicMilliseconds() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
}

sockaddr_in ToSockaddr(const Ipv4Endpoint& endpoint) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(endpoint.port);
    address.sin_addr.s_addr = endpoint.address;
    return address;
}

class PosixUdpSocket final : public UdpSocket {
public:
    ~PosixUdpSocket() override { Close(); }

    bool Open(uint16_t port) override {
        Close();
        fd_ = socket(AF_INET, SOCK_DGRAM, 0);
        if (fd_ < 0) {
            fd_ = -1;
            return false;
        }
        const sockaddr_in local = ToSockaddr({htonl(INADDR_ANY), port});
        if (bind(fd_, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
            Close();
            return false;
        }
        return true;
    }

    void Close() override {
        if (fd_ < 0) return;
        close(fd_);
        fd_ = -1;
    }

    bool IsOpen() const override { return fd_ >= 0; }

    uint16_t LocalPort() const override {
        if (fd_ < 0) return 0;
        sockaddr_in local{};
        socklen_t length = sizeof local;
        if (getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &length) != 0) return 0;
        return ntohs(local.sin_port);
    }

    bool SendTo(const Ipv4Endpoint& to, const void* data, size_t length) override {
        if (fd_ < 0) return false;
        const sockaddr_in peer = ToSockaddr(to);
        return sendto(fd_, data, length, 0, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) >= 0;
    }

    int ReceiveFrom(void* buffer, size_t size, Ipv4Endpoint* from) override {
        if (fd_ < 0) return -1;
        sockaddr_in sender{};
        socklen_t length = sizeof sender;
        // MSG_TRUNC reports the whole datagram's length even when it was cut.
        const ssize_t received =
            recvfrom(fd_, buffer, size, MSG_TRUNC, reinterpret_cast<sockaddr*>(&sender), &length);
        if (received < 0) return -1;
        if (from) *from = {sender.sin_addr.s_addr, ntohs(sender.sin_port)};
        return static_cast<int>(received);
    }

    SocketWait WaitReadable(uint32_t* remainingMs) override {
        if (fd_ < 0) return SocketWait::FAILED;
        const uint64_t deadline = MonotonicMilliseconds() + *remainingMs;
        for (;;) {
            // select may rewrite both the set and the time-out: build them anew.
            fd_set readSet;
            FD_ZERO(&readSet);
            FD_SET(fd_, &readSet);
            timeval timeout{static_cast<time_t>(*remainingMs / 1000),
                            static_cast<suseconds_t>(*remainingMs % 1000) * 1000};
            const int ready = select(fd_ + 1, &readSet, nullptr, nullptr, &timeout);
            const uint64_t now = MonotonicMilliseconds();
            *remainingMs = now < deadline ? static_cast<uint32_t>(deadline - now) : 0;
            if (ready > 0) return FD_ISSET(fd_, &readSet) ? SocketWait::READABLE : SocketWait::FAILED;
            if (ready == 0) {
                *remainingMs = 0;
                return SocketWait::TIMED_OUT;
            }
            if (errno != EINTR) return SocketWait::FAILED;
            if (*remainingMs == 0) return SocketWait::TIMED_OUT;
        }
    }

private:
    int fd_ = -1;
};

}  // namespace

std::unique_ptr<UdpSocket> CreateUdpSocket() { return std::make_unique<PosixUdpSocket>(); }

}  // namespace platform
