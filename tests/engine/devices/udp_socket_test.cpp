#include "platform/udp_socket.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "engine/devices/network.h"

// Real sockets on the loopback address only.
namespace {

const uint32_t kLoopback = platform::ParseIpv4Address("127.0.0.1");

// A port that was free a moment ago (the system's choice for port 0).
uint16_t FreePort() {
    auto probe = platform::CreateUdpSocket();
    if (!probe->Open(0)) return 0;
    return probe->LocalPort();
}

TEST(UdpSocket, ParsesOnlyDottedAddresses) {
    EXPECT_EQ(platform::ParseIpv4Address("127.0.0.1"), 0x0100007Fu);
    EXPECT_EQ(platform::ParseIpv4Address("abc"), platform::IPV4_ADDRESS_NONE);
    EXPECT_EQ(platform::ParseIpv4Address(nullptr), platform::IPV4_ADDRESS_NONE);
}

TEST(UdpSocket, ADatagramSentToItselfComesBackWithItsSender) {
    auto socket = platform::CreateUdpSocket();
    ASSERT_TRUE(socket->Open(0));
    const uint16_t port = socket->LocalPort();
    ASSERT_NE(port, 0);
    const uint8_t data[6] = {0xF5, 0xFF, 0, 0, 0, 0};
    ASSERT_TRUE(socket->SendTo({kLoopback, port}, data, sizeof data));

    uint32_t remaining = 1000;
    ASSERT_EQ(socket->WaitReadable(&remaining), platform::SocketWait::READABLE);
    uint8_t buffer[4] = {};
    platform::Ipv4Endpoint from{};
    // A datagram longer than the buffer is cut, its full length reported.
    EXPECT_EQ(socket->ReceiveFrom(buffer, sizeof buffer, &from), 6);
    EXPECT_EQ(std::memcmp(buffer, data, sizeof buffer), 0);
    EXPECT_EQ(from.address, kLoopback);
    EXPECT_EQ(from.port, port);
    remaining = 0;
    EXPECT_EQ(socket->WaitReadable(&remaining), platform::SocketWait::TIMED_OUT);
}

TEST(UdpSocket, EveryWaitGetsItsWholeTime) {
    auto socket = platform::CreateUdpSocket();
    ASSERT_TRUE(socket->Open(0));
    for (int round = 0; round < 2; ++round) {
        const auto start = std::chrono::steady_clock::now();
        uint32_t remaining = 30;
        EXPECT_EQ(socket->WaitReadable(&remaining), platform::SocketWait::TIMED_OUT);
        EXPECT_EQ(remaining, 0u);
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(25)) << round;
    }
}

TEST(UdpSocket, ClosedSocketTouchesNoDescriptor) {
    auto socket = platform::CreateUdpSocket();
    EXPECT_FALSE(socket->IsOpen());
    socket->Close();
    ASSERT_TRUE(socket->Open(0));
    socket->Close();
    // The freed descriptor number goes to a pipe; closing again must spare it.
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    socket->Close();
    EXPECT_NE(fcntl(pipeEnds[0], F_GETFD), -1);
    EXPECT_NE(fcntl(pipeEnds[1], F_GETFD), -1);
    close(pipeEnds[0]);
    close(pipeEnds[1]);

    const uint8_t data[1] = {0};
    EXPECT_FALSE(socket->SendTo({kLoopback, 9}, data, 1));
    uint32_t remaining = 10;
    EXPECT_EQ(socket->WaitReadable(&remaining), platform::SocketWait::FAILED);
    EXPECT_EQ(socket->ReceiveFrom(nullptr, 0, nullptr), -1);
    EXPECT_EQ(socket->LocalPort(), 0);
}

TEST(UdpSocket, APortInUseCannotBeBound) {
    auto first = platform::CreateUdpSocket();
    ASSERT_TRUE(first->Open(0));
    auto second = platform::CreateUdpSocket();
    EXPECT_FALSE(second->Open(first->LocalPort()));
    EXPECT_FALSE(second->IsOpen());
}

TEST(NetworkOverLoopback, PeerOnTheSamePortExchangesDatagrams) {
    const uint16_t port = FreePort();
    ASSERT_NE(port, 0);
    ASSERT_TRUE(NetOpen({"127.0.0.1", port, 0, 0, 0}));
    std::vector<uint8_t> buffer(6, 0xEE);
    EXPECT_FALSE(NetReceive(buffer.data(), 6, 1));  // nothing queued: at once
    EXPECT_TRUE(NetIsOpen());

    const std::vector<uint8_t> packet = {0xD8, 0xFF, 2, 0, 0, 0};
    EXPECT_TRUE(NetSend(packet.data(), 6));
    EXPECT_TRUE(NetReceiveWait(buffer.data(), 6, 1));
    EXPECT_EQ(buffer, packet);
    EXPECT_EQ(netLocalAddress.address, kLoopback);  // the sender of the datagram read

    // An empty datagram does not block the polls behind it.
    EXPECT_TRUE(NetSend(packet.data(), 0));
    EXPECT_TRUE(NetSend(packet.data(), 6));
    NetWait(1000);
    EXPECT_FALSE(NetReceive(buffer.data(), 6, 1));
    NetWait(1000);
    EXPECT_TRUE(NetReceive(buffer.data(), 6, 1));
    EXPECT_EQ(buffer, packet);
    NetClose();
    NetClose();
    EXPECT_FALSE(NetIsOpen());
}

}  // namespace
