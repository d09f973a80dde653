#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform {

// One IPv4 datagram socket in the shape Winsock gave the engine: bound to every
// local interface on a port, sending to and receiving from IPv4 endpoints,
// waiting for readability with a time-out and asking the size of the next
// datagram. Main thread only.

// An IPv4 address as inet_addr returns it (network byte order) and a port in
// host byte order.
struct Ipv4Endpoint {
    uint32_t address;
    uint16_t port;
};

// What inet_addr returns for text that is not a dotted IPv4 address.
constexpr uint32_t IPV4_ADDRESS_NONE = 0xFFFFFFFF;

// The address of a dotted IPv4 text ("127.0.0.1") with inet_addr's rules, or
// IPV4_ADDRESS_NONE; a host name does not resolve.
uint32_t ParseIpv4Address(const char* text);

enum class SocketWait { READABLE, TIMED_OUT, FAILED };

class UdpSocket {
public:
    virtual ~UdpSocket() = default;
    // Creates the socket and binds it to every interface on `port` (0 lets the
    // system choose); false, with the socket closed, when either step fails.
    virtual bool Open(uint16_t port) = 0;
    // Closes the socket; harmless when it is closed.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // The port the socket is bound to, 0 when closed.
    virtual uint16_t LocalPort() const = 0;
    // Sends one datagram; false when the socket is closed or the send failed.
    virtual bool SendTo(const Ipv4Endpoint& to, const void* data, size_t length) = 0;
    // Reads one datagram into buffer (a longer one is cut to size) and its
    // sender into *from: the datagram's full length, or -1 when nothing could
    // be read.
    virtual int ReceiveFrom(void* buffer, size_t size, Ipv4Endpoint* from) = 0;
    // Waits until a datagram can be read, at most *remainingMs milliseconds
    // (0: only looks), and leaves the part of the time not waited in
    // *remainingMs. Unlike a pending-bytes query, this also sees a datagram of
    // length 0.
    virtual SocketWait WaitReadable(uint32_t* remainingMs) = 0;
};

// A POSIX socket; closed until Open.
std::unique_ptr<UdpSocket> CreateUdpSocket();

}  // namespace platform
