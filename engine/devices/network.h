#pragma once
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>

#include "platform/udp_socket.h"

// The engine's UDP layer for network play: one datagram socket bound to every
// local interface on the configured port, sending to one peer. Plain
// functions on the main thread with time-limited waits; there is no network
// thread. Only datagrams from the peer's IPv4 address (any port) are taken.

// How long NetReceive waits before it gives the peer up and closes the socket.
constexpr uint32_t NET_RECEIVE_TIMEOUT_MS = 10000;

// What NetOpen needs of the configuration.
struct NetSettings {
    const char* peerHost;  // dotted IPv4 text; anything else reaches no peer
    uint16_t port;         // bound locally and, unless peerPort is set, the peer's
    uint16_t peerPort;     // 0: the same as port (two peers on one machine differ)
    int32_t localSide;     // 0 or 1; any other value is taken as 0
    uint8_t slowLine;      // non-zero: inputs travel every 3 frames instead of 2
};

extern std::unique_ptr<platform::UdpSocket> netSocket;  // null until the first NetOpen
// The bound endpoint, overwritten with the sender of each datagram read.
extern platform::Ipv4Endpoint netLocalAddress;
extern platform::Ipv4Endpoint netPeerAddress;  // every send goes here
extern uint8_t netConnected;       // the match is live; the protocol sets it, this layer clears it
extern uint32_t netSendInterval;   // frames between input sends: 2, or 3 on a slow line
extern int32_t netLocalSide;       // this machine's side
extern FILE* netLogFile;           // the network log; nothing opens it by default

// Opens the socket and sets the peer, the interval and the side; clears
// `netConnected`. False when the socket cannot be bound (logged): the layer
// then stays closed, so sends do nothing and receives find nothing.
bool NetOpen(const NetSettings& settings);
// Closes the socket and clears `netConnected`; harmless when nothing is open.
void NetClose();
bool NetIsOpen();
// Sends one datagram to the peer; does nothing on a closed socket. Always true:
// a failed send is only logged.
bool NetSend(const void* data, int length);
// Zeroes the buffer and reads one datagram of exactly `size` bytes from the
// peer. With checkPending 1 it returns false at once when nothing is queued (a
// poll that reads at most one datagram). Otherwise it waits up to NET_RECEIVE_TIMEOUT_MS; when that passes
// without a datagram from the peer the peer is given up: the socket is closed
// and `netConnected` cleared. Datagrams from elsewhere or of another size are
// dropped.
bool NetReceive(void* buffer, int size, int checkPending);
// Like NetReceive's wait, for up to `seconds`, but a time-out closes nothing.
bool NetReceiveWait(void* buffer, int size, uint32_t seconds);
// Waits until a datagram is queued or `milliseconds` have passed; the pause
// between the polls of a handshake, which wakes early when the peer answers.
void NetWait(uint32_t milliseconds);
// Writes text unchanged to the network log when one is open.
void NetLogLine(const char* text);

// Replaces the socket that NetOpen creates (tests); null restores the POSIX one.
using NetSocketFactory = std::function<std::unique_ptr<platform::UdpSocket>()>;
void SetNetSocketFactory(NetSocketFactory factory);
