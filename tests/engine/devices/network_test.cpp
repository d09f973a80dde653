#include "engine/devices/network.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/fake_transport.h"
#include "tests/support/temp_dir.h"

namespace {

using Bytes = std::vector<uint8_t>;

const Bytes kDatagram = {1, 2, 3, 4, 5, 6};
const Bytes kZeros(6, 0);

class NetworkLayer : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(NetOpen({"127.0.0.1", test::kFakePort, 0, 0, 0})); }
    void TearDown() override { NetClose(); }

    test::FakeNetwork& net() { return transport.network(); }

    test::FakeTransport transport;
    Bytes buffer = Bytes(6, 0xEE);
};

TEST(NetworkOpen, TakesTheSettings) {
    struct Case {
        const char* host;
        uint16_t port, peerPort;
        int32_t side;
        uint8_t slowLine;
        uint32_t address;
        uint16_t expectedPeerPort;
        int32_t expectedSide;
        uint32_t interval;
    } cases[] = {
        {"127.0.0.1", 59999, 0, 0, 0, 0x0100007F, 59999, 0, 2},
        {"127.0.0.1", 40000, 40001, 1, 1, 0x0100007F, 40001, 1, 3},
        {"abc", 59999, 0, 7, 5, 0xFFFFFFFF, 59999, 0, 3},  // a host name reaches no peer
        {"", 59999, 0, -1, 0, 0xFFFFFFFF, 59999, 0, 2},
    };
    for (const Case& c : cases) {
        test::FakeTransport transport;
        netConnected = 1;
        ASSERT_TRUE(NetOpen({c.host, c.port, c.peerPort, c.side, c.slowLine}));
        EXPECT_EQ(netPeerAddress.address, c.address) << c.host;
        EXPECT_EQ(netPeerAddress.port, c.expectedPeerPort) << c.host;
        EXPECT_EQ(netLocalSide, c.expectedSide) << c.host;
        EXPECT_EQ(netSendInterval, c.interval) << c.host;
        EXPECT_EQ(netConnected, 0) << c.host;
        EXPECT_TRUE(NetSend(kDatagram.data(), 6)) << c.host;
        EXPECT_EQ(transport.network().sent.size(), 1u) << c.host;
    }
}

TEST(NetworkOpen, AnUnboundSocketLeavesTheLayerClosed) {
    test::FakeTransport transport;
    transport.network().bindFails = true;
    EXPECT_FALSE(NetOpen({"127.0.0.1", test::kFakePort, 0, 0, 0}));
    EXPECT_FALSE(NetIsOpen());
    EXPECT_TRUE(NetSend(kDatagram.data(), 6));
    EXPECT_TRUE(transport.network().sent.empty());
    transport.network().Deliver(kDatagram);
    Bytes buffer(6, 0xEE);
    EXPECT_FALSE(NetReceive(buffer.data(), 6, 0));
    EXPECT_EQ(buffer, kZeros);
}

TEST_F(NetworkLayer, PollWithNothingQueuedReturnsAtOnce) {
    EXPECT_FALSE(NetReceive(buffer.data(), 6, 1));
    EXPECT_EQ(buffer, kZeros);
    EXPECT_EQ(net().nowMs, 0u);
    EXPECT_TRUE(NetIsOpen());

    net().Deliver(kDatagram);
    EXPECT_TRUE(NetReceive(buffer.data(), 6, 1));
    EXPECT_EQ(buffer, kDatagram);
}

TEST_F(NetworkLayer, PollDoesNotTakeADatagramStillOnItsWay) {
    net().Deliver(kDatagram, test::FakePeer(), 5);
    EXPECT_FALSE(NetReceive(buffer.data(), 6, 1));
    EXPECT_EQ(net().inbox.size(), 1u);
}

TEST_F(NetworkLayer, BlockingReceiveGivesThePeerUpAfterTenSeconds) {
    netConnected = 1;
    EXPECT_FALSE(NetReceive(buffer.data(), 6, 0));
    EXPECT_EQ(net().nowMs, 10000u);
    EXPECT_EQ(buffer, kZeros);
    EXPECT_FALSE(NetIsOpen());
    EXPECT_EQ(netConnected, 0);
    EXPECT_EQ(net().closes, 1);

    // Closed: sends do nothing but still report success, receives find nothing.
    EXPECT_TRUE(NetSend(kDatagram.data(), 6));
    EXPECT_TRUE(net().sent.empty());
    EXPECT_FALSE(NetReceiveWait(buffer.data(), 6, 1));
    NetClose();
    EXPECT_EQ(net().closes, 1);
}

TEST_F(NetworkLayer, BlockingReceiveTakesADatagramThatComesInTime) {
    net().Deliver(kDatagram, test::FakePeer(), 9999);
    EXPECT_TRUE(NetReceive(buffer.data(), 6, 0));
    EXPECT_EQ(buffer, kDatagram);
    EXPECT_TRUE(NetIsOpen());
}

TEST_F(NetworkLayer, TimedWaitClosesNothingAndCanBeRepeated) {
    EXPECT_FALSE(NetReceiveWait(buffer.data(), 6, 3));
    EXPECT_EQ(buffer, kZeros);
    EXPECT_EQ(net().nowMs, 3000u);
    EXPECT_FALSE(NetReceiveWait(buffer.data(), 6, 3));
    EXPECT_EQ(net().nowMs, 6000u);
    EXPECT_TRUE(NetIsOpen());
    EXPECT_EQ(net().closes, 0);
}

TEST_F(NetworkLayer, DatagramsFromAnotherAddressOrOfAnotherSizeAreDropped) {
    const platform::Ipv4Endpoint stranger{platform::ParseIpv4Address("192.0.2.7"), test::kFakePort};
    const platform::Ipv4Endpoint peerOtherPort{test::FakePeer().address, 1234};
    net().Deliver({9, 9, 9, 9, 9, 9}, stranger);
    net().Deliver({7, 7, 7, 7, 7});  // short
    net().Deliver({7, 7, 7, 7, 7, 7, 7});  // long
    net().Deliver(Bytes{});                 // empty
    net().Deliver(kDatagram, peerOtherPort, 200);

    // A poll reads one datagram and reports nothing for a dropped one.
    EXPECT_FALSE(NetReceive(buffer.data(), 6, 1));
    EXPECT_EQ(buffer, kZeros);
    // A wait goes on past the dropped ones to the peer's datagram (any port).
    EXPECT_TRUE(NetReceiveWait(buffer.data(), 6, 1));
    EXPECT_EQ(buffer, kDatagram);
    EXPECT_EQ(net().nowMs, 200u);
    EXPECT_TRUE(net().inbox.empty());
}

TEST_F(NetworkLayer, AStrangerCannotKeepTheBlockingReceiveAlive) {
    const platform::Ipv4Endpoint stranger{platform::ParseIpv4Address("192.0.2.7"), test::kFakePort};
    for (uint64_t t = 0; t < 20000; t += 500) net().Deliver(kDatagram, stranger, t);
    EXPECT_FALSE(NetReceive(buffer.data(), 6, 0));
    EXPECT_EQ(net().nowMs, 10000u);
    EXPECT_FALSE(NetIsOpen());
}

TEST_F(NetworkLayer, AFailedReadIsNotASuccess) {
    net().Deliver(kDatagram);
    net().readFails = true;
    EXPECT_FALSE(NetReceive(buffer.data(), 6, 1));
    EXPECT_FALSE(NetReceiveWait(buffer.data(), 6, 1));
    EXPECT_FALSE(NetReceive(buffer.data(), 6, 0));
    EXPECT_EQ(buffer, kZeros);
    EXPECT_TRUE(NetIsOpen());
}

TEST_F(NetworkLayer, SendsGoToThePeer) {
    EXPECT_TRUE(NetSend(kDatagram.data(), 6));
    ASSERT_EQ(net().sent.size(), 1u);
    EXPECT_EQ(net().sent[0].bytes, kDatagram);
    EXPECT_EQ(net().sent[0].to.address, test::FakePeer().address);
    EXPECT_EQ(net().sent[0].to.port, test::kFakePort);
}

TEST(NetworkClose, IsHarmlessWhenNothingIsOpenAndClosesOnce) {
    test::FakeTransport transport;
    NetClose();  // before any open
    EXPECT_EQ(transport.network().closes, 0);
    ASSERT_TRUE(NetOpen({"127.0.0.1", test::kFakePort, 0, 0, 0}));
    netConnected = 1;
    NetClose();
    NetClose();
    EXPECT_EQ(transport.network().closes, 1);
    EXPECT_EQ(netConnected, 0);
}

TEST(NetworkLog, WritesOnlyToAnOpenLogAndClosesItWithTheSocket) {
    test::FakeTransport transport;
    test::TempDir dir;
    ASSERT_TRUE(NetOpen({"127.0.0.1", test::kFakePort, 0, 0, 0}));
    NetLogLine("nowhere\n");  // no log is open
    netLogFile = std::fopen(dir.file("net.log").c_str(), "w");
    ASSERT_NE(netLogFile, nullptr);
    NetLogLine("[Situation]:Wait for\n");
    NetClose();
    EXPECT_EQ(netLogFile, nullptr);
    std::ifstream file(dir.file("net.log"));
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "[Situation]:Wait for\n[Situation]:Begin Cleanup\n[Success]:closesocket,WSACleanup\n");
}

}  // namespace
