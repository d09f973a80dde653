#include "game/flow/net_exchange.h"
#include "game/flow/replay_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/core/log.h"
#include "engine/devices/network.h"
#include "game/flow/save_files.h"
#include "tests/support/fake_transport.h"
#include "tests/support/temp_dir.h"

std::ostream& operator<<(std::ostream& out, const NetPacket& p) {
    return out << "{" << p.frame << ", " << p.value << ", " << p.valueCopy << "}";
}

namespace {

std::vector<uint8_t> Bytes(const NetPacket& packet) {
    std::vector<uint8_t> bytes(NET_PACKET_SIZE);
    EncodeNetPacket(packet, bytes.data());
    return bytes;
}

// A select-screen word of a period: the word, and in the third field the word
// XOR the period's tag, its low byte twice.
NetPacket SelectWord(InputWord word, uint16_t period) {
    return {NT_COMMAND_INPUT, word, static_cast<uint16_t>(word ^ (period & 0xFF) * 0x101)};
}

// The peer's and this machine's words sampled on frame f: distinct per frame.
InputWord PeerWord(int32_t f) { return static_cast<InputWord>(0x100 + f); }
InputWord LocalWord(int32_t f) { return static_cast<InputWord>(0x200 + f); }

TEST(NetPacketFormat, IsLittleEndianWithCommandsAsNegativeFrames) {
    const struct {
        NetPacket packet;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {{NT_COMMAND_CONNECT, 0, 0}, {0xF5, 0xFF, 0, 0, 0, 0}},
        {{NT_COMMAND_START, 0, 0}, {0xF3, 0xFF, 0, 0, 0, 0}},
        {{NT_COMMAND_INPUT, 0x0410, 0}, {0xE2, 0xFF, 0x10, 0x04, 0, 0}},
        {{NT_COMMAND_WRECK, 0x1234, 0}, {0xD8, 0xFF, 0x34, 0x12, 0, 0}},
        {{NT_COMMAND_BROKEN, 2, 0}, {0xCE, 0xFF, 2, 0, 0, 0}},
        {{300, 0xABCD, 0xABCD}, {0x2C, 0x01, 0xCD, 0xAB, 0xCD, 0xAB}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Bytes(c.packet), c.bytes) << c.packet;
        EXPECT_EQ(DecodeNetPacket(c.bytes.data()), c.packet);
    }
}

// This machine plays side `localSide` against a scripted peer on a fake
// network; each battle frame runs the sampling and both sides' SyncPlayerInput
// as the battle does.
class NetExchange : public ::testing::Test {
protected:
    void Open(int32_t localSide, uint8_t slowLine) {
        std::memset(&config, 0, sizeof config);
        std::strcpy(config.peerHost, "127.0.0.1");
        config.port = test::kFakePort;
        config.localSide = localSide;
        config.slowLine = slowLine;
        ASSERT_TRUE(NetOpen());
        netConnected = 1;
        inputWords[0] = inputWords[1] = 0;
        replayInputs[0].clear();
        replayInputs[1].clear();
    }

    void SetUp() override {
        std::snprintf(logFileName, sizeof logFileName, "%s", dir.file("engine.log").c_str());
        // Each battle frame records both sides' words: start from no battle.
        for (auto& list : replayInputs) list.clear();
    }
    void TearDown() override {
        logFileName[0] = '\0';
        NetClose();
    }

    test::FakeNetwork& net() { return transport.network(); }
    int32_t N() const { return static_cast<int32_t>(netSendInterval); }
    int Remote() const { return 1 - netLocalSide; }

    void Deliver(const NetPacket& packet, uint64_t delayMs = 0) {
        net().Deliver(Bytes(packet), test::FakePeer(), delayMs);
    }
    void DeliverSample(int32_t f) { Deliver(DataPacket(f, PeerWord(f))); }

    // The peer answers resend requests, as its own history would.
    void PeerAnswersResendRequests() {
        net().onSend = [this](const test::SentDatagram& d) {
            const NetPacket p = DecodeNetPacket(d.bytes.data());
            if (p.frame == NT_COMMAND_WRECK || p.frame == NT_COMMAND_BROKEN) {
                DeliverSample(p.value);
            }
        };
    }

    // One battle frame: this side samples on multiples of N, then both sides sync.
    void RunFrame(int32_t f) {
        if (f % N() == 0) {
            localSample = LocalWord(f);
            SendInputSample(f, localSample);
        }
        const SyncFrame frame{f, 0, true, false, false, false};
        for (int side = 0; side < 2; ++side) {
            SyncPlayerRecord record{localSample, &padInput[side], padButtons[side]};
            SyncPlayerInput(side, frame, record);
        }
    }

    std::vector<NetPacket> Sent(size_t from = 0) const {
        std::vector<NetPacket> packets;
        for (size_t i = from; i < transport.network().sent.size(); ++i) {
            packets.push_back(DecodeNetPacket(transport.network().sent[i].bytes.data()));
        }
        return packets;
    }
    std::vector<NetPacket> SentCommands(int16_t command) const {
        std::vector<NetPacket> packets;
        for (const NetPacket& p : Sent()) {
            if (p.frame == command) packets.push_back(p);
        }
        return packets;
    }

    std::string EngineLog() const {
        std::ifstream file(dir.file("engine.log"));
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

    test::TempDir dir;
    test::FakeTransport transport;
    InputWord localSample = 0;
    InputWord padInput[2] = {};
    ButtonStates padButtons[2] = {};
};

TEST_F(NetExchange, BothSidesUseTheWordsSampledOnTheSameEarlierFrame) {
    // For each frame, the frame whose samples are in use (-1: none yet, 0).
    const struct {
        uint8_t slowLine;
        std::vector<int32_t> sampleFrameUsed;
    } cases[] = {
        {0, {-1, 0, 0, 2, 2, 4, 4, 6, 6}},
        {1, {-1, -1, 0, 0, 0, 3, 3, 3, 6, 6, 6}},
    };
    for (const auto& c : cases) {
        for (int32_t localSide : {0, 1}) {
            Open(localSide, c.slowLine);
            replayInputs[0].clear();
            replayInputs[1].clear();
            const size_t sentBefore = net().sent.size();
            for (int32_t f = 0; f < static_cast<int32_t>(c.sampleFrameUsed.size()); ++f) {
                if (f % N() == 0) DeliverSample(f);
                RunFrame(f);
                const int32_t used = c.sampleFrameUsed[f];
                const InputWord local = used < 0 ? 0 : LocalWord(used);
                const InputWord remote = used < 0 ? 0 : PeerWord(used);
                EXPECT_EQ(inputWords[netLocalSide], local) << "N " << N() << " frame " << f;
                EXPECT_EQ(inputWords[Remote()], remote) << "N " << N() << " frame " << f;
                EXPECT_EQ(replayInputs[Remote()].back(), remote) << "frame " << f;
            }
            EXPECT_EQ(net().nowMs, 0u) << "no wait ran out";
            // Each sample went out once as a data packet with two copies.
            std::vector<NetPacket> expected;
            for (int32_t f = 0; f < static_cast<int32_t>(c.sampleFrameUsed.size()); f += N()) {
                expected.push_back(DataPacket(f, LocalWord(f)));
            }
            EXPECT_EQ(Sent(sentBefore), expected);
        }
    }
}

TEST_F(NetExchange, ALostPacketIsRecoveredByAResendRequest) {
    Open(1, 0);
    PeerAnswersResendRequests();
    for (int32_t f = 0; f < 6; ++f) {
        if (f % 2 == 0 && f != 2) DeliverSample(f);  // frame 2's packet is lost
        RunFrame(f);
        if (f == 3 || f == 4) {
            EXPECT_EQ(inputWords[0], PeerWord(2)) << f;
        }
    }
    EXPECT_EQ(inputWords[0], PeerWord(4));
    EXPECT_EQ(SentCommands(NT_COMMAND_WRECK), (std::vector<NetPacket>{{NT_COMMAND_WRECK, 2, 0}}));
    EXPECT_EQ(net().nowMs, 1000u);  // one 1-second wait ran out
    EXPECT_EQ(netConnected, 1);
    EXPECT_EQ(EngineLog(), "NT_COMMAND_WRECK\n");
}

TEST_F(NetExchange, ACorruptedCopyIsAskedForAgain) {
    Open(0, 0);
    PeerAnswersResendRequests();
    DeliverSample(0);
    RunFrame(0);
    RunFrame(1);
    NetPacket damaged = DataPacket(2, PeerWord(2));
    damaged.valueCopy ^= 0x10;
    Deliver(damaged);
    RunFrame(2);
    RunFrame(3);
    EXPECT_EQ(inputWords[1], PeerWord(2));
    EXPECT_EQ(SentCommands(NT_COMMAND_BROKEN), (std::vector<NetPacket>{{NT_COMMAND_BROKEN, 2, 0}}));
    EXPECT_TRUE(SentCommands(NT_COMMAND_WRECK).empty());
    EXPECT_EQ(net().nowMs, 0u);
    EXPECT_EQ(EngineLog(), "NT_COMMAND_BROKEN\n");
}

TEST_F(NetExchange, AnEarlyPacketIsUsedOneExchangeLaterWithoutAReceive) {
    Open(0, 0);
    DeliverSample(2);  // overtakes frame 0's packet
    DeliverSample(0);
    RunFrame(0);
    RunFrame(1);
    EXPECT_EQ(inputWords[1], PeerWord(0));
    EXPECT_EQ(netPendingPackets.size(), 1u);
    EXPECT_EQ(EngineLog(), "PUSH\n");

    const int waitsBefore = net().waits;
    RunFrame(2);
    RunFrame(3);
    EXPECT_EQ(inputWords[1], PeerWord(2));
    EXPECT_EQ(net().waits, waitsBefore);
    EXPECT_TRUE(netPendingPackets.empty());
}

TEST_F(NetExchange, AnEarlyPacketWithUnequalCopiesIsNotKept) {
    Open(0, 0);
    PeerAnswersResendRequests();
    Deliver({2, DataPacket(2, PeerWord(2)).value, 0x7777});
    DeliverSample(0);
    RunFrame(0);
    RunFrame(1);
    EXPECT_TRUE(netPendingPackets.empty());
    RunFrame(2);
    RunFrame(3);
    EXPECT_EQ(inputWords[1], PeerWord(2));  // recovered by a resend request
    EXPECT_EQ(SentCommands(NT_COMMAND_WRECK), (std::vector<NetPacket>{{NT_COMMAND_WRECK, 2, 0}}));
}

TEST_F(NetExchange, DuplicatesAndStalePacketsAreDropped) {
    Open(0, 0);
    DeliverSample(0);
    RunFrame(0);
    RunFrame(1);
    // Frame 3 waits for frame 2: an old duplicate, an early packet twice, an
    // answer to a start packet that came late, then the packet it waits for.
    DeliverSample(0);
    DeliverSample(4);
    DeliverSample(4);
    Deliver({NT_COMMAND_START, 0, NET_START_ANSWER});
    DeliverSample(2);
    RunFrame(2);
    RunFrame(3);
    EXPECT_EQ(inputWords[1], PeerWord(2));
    ASSERT_EQ(netPendingPackets.size(), 1u);
    // The duplicate of frame 2 arrives late and is ignored at frame 7.
    DeliverSample(2);
    RunFrame(4);
    RunFrame(5);
    EXPECT_EQ(inputWords[1], PeerWord(4));
    DeliverSample(6);
    RunFrame(6);
    RunFrame(7);
    EXPECT_EQ(inputWords[1], PeerWord(6));
    EXPECT_TRUE(netPendingPackets.empty());
    EXPECT_EQ(net().nowMs, 0u);
    EXPECT_EQ(Sent().size(), 4u) << "only this side's four samples";
}

// The frame field has no copy: a damaged one must not pass for another frame.
// While frame 3 awaits frame 2's word, each case delivers a sample under a
// damaged frame number: frame 2's own sample under another number, or another
// frame's sample under number 2, where only the frame check in the word shows
// the damage. The awaited packet may be the damaged one, so it is asked for at
// once, as one with unequal copies is, and comes without a wait running out.
TEST_F(NetExchange, ADamagedFrameNumberIsAskedForAtOnce) {
    const struct {
        const char* name;
        int16_t frame;    // the damaged frame field
        int32_t sampled;  // the frame whose sample it carries
    } cases[] = {
        {"behind the awaited frame", 0, 2},
        {"not a sampling frame", 3, 2},
        {"more than two exchanges ahead", 8, 2},
        {"far ahead", 0x4002, 2},
        {"turned into no command", static_cast<int16_t>(0x8002), 2},
        {"an old sample under the awaited number", 2, 0},
        {"a later sample under the awaited number", 2, 6},
    };
    for (const auto& c : cases) {
        Open(0, 0);
        PeerAnswersResendRequests();
        DeliverSample(0);
        RunFrame(0);
        RunFrame(1);
        const NetPacket sound = DataPacket(c.sampled, PeerWord(c.sampled));
        Deliver({c.frame, sound.value, sound.valueCopy});
        RunFrame(2);
        RunFrame(3);
        EXPECT_EQ(inputWords[1], PeerWord(2)) << c.name;
        EXPECT_TRUE(netPendingPackets.empty()) << c.name;
        EXPECT_EQ(SentCommands(NT_COMMAND_BROKEN), (std::vector<NetPacket>{{NT_COMMAND_BROKEN, 2, 0}})) << c.name;
        EXPECT_TRUE(SentCommands(NT_COMMAND_WRECK).empty()) << c.name;
        EXPECT_EQ(net().nowMs, 0u) << c.name;
        NetClose();
        net().onSend = nullptr;
        net().sent.clear();
        net().nowMs = 0;
    }
}

// A data packet carries its word twice, each with the frame check in the
// word's unused high bits, which the receiver takes off again.
TEST(NetDataPacket, CarriesItsWordTwiceWithACheckOfItsFrame) {
    for (const int32_t frame : {0, 2, 3, 300, 0x7FFE}) {
        for (const InputWord word : {InputWord{0}, InputWord{INPUT_Z | INPUT_LEFT}, INPUT_ALL_BUTTONS}) {
            const NetPacket packet = DataPacket(frame, word);
            EXPECT_EQ(packet.frame, frame);
            EXPECT_EQ(packet.value, packet.valueCopy);
            EXPECT_EQ(packet.value & INPUT_ALL_BUTTONS, word);
            InputWord taken = 0xFFFF;
            EXPECT_TRUE(DataPacketWord(packet, &taken));
            EXPECT_EQ(taken, word);
            // Any one or two damaged bits of the frame field show.
            for (int a = 0; a < 16; ++a) {
                for (int b = a; b < 16; ++b) {
                    NetPacket damaged = packet;
                    damaged.frame = static_cast<int16_t>(damaged.frame ^ (1 << a) ^ (a == b ? 0 : 1 << b));
                    EXPECT_FALSE(DataPacketWord(damaged, &taken)) << frame << " bits " << a << " " << b;
                }
            }
        }
    }
}

TEST_F(NetExchange, FarFuturePacketsDoNotFillThePendingList) {
    Open(0, 0);
    for (int32_t f = 100; f < 140; f += 2) DeliverSample(f);
    DeliverSample(2);  // one exchange ahead: kept
    DeliverSample(0);
    RunFrame(0);
    RunFrame(1);
    EXPECT_EQ(inputWords[1], PeerWord(0));
    EXPECT_EQ(netPendingPackets, (std::vector<NetPacket>{DataPacket(2, PeerWord(2))}));
    const int waitsBefore = net().waits;
    RunFrame(2);
    RunFrame(3);
    EXPECT_EQ(inputWords[1], PeerWord(2));
    EXPECT_EQ(net().waits, waitsBefore) << "taken from the list without a wait";
}

TEST_F(NetExchange, TwoEarlyPacketsForOneFrameWithDifferentWordsAreBothDropped) {
    // Frame 2's word arrives, then frame 4's damaged into frame 2's number
    // past the frame check (more bits than it catches): which one is right
    // cannot be told, so frame 2 is asked for.
    Open(0, 0);
    PeerAnswersResendRequests();
    DeliverSample(2);
    Deliver(DataPacket(2, PeerWord(4)));
    Deliver(DataPacket(2, PeerWord(4)));  // a third copy does not bring either back
    DeliverSample(0);
    RunFrame(0);
    RunFrame(1);
    RunFrame(2);
    RunFrame(3);
    EXPECT_EQ(inputWords[1], PeerWord(2));
    EXPECT_EQ(SentCommands(NT_COMMAND_WRECK), (std::vector<NetPacket>{{NT_COMMAND_WRECK, 2, 0}}));
    EXPECT_TRUE(netPendingPackets.empty());
}

TEST_F(NetExchange, ResendRequestsAreAnsweredFromTheSentSamples) {
    Open(0, 0);
    DeliverSample(0);
    RunFrame(0);
    RunFrame(1);
    RunFrame(2);  // samples LocalWord(2)
    const size_t sentBefore = net().sent.size();
    Deliver({NT_COMMAND_WRECK, 0, 0});    // answered with the frame-0 sample
    Deliver({NT_COMMAND_BROKEN, 2, 0});   // answered like a WRECK
    Deliver({NT_COMMAND_WRECK, 1, 0});    // frame 1 was never sampled
    Deliver({NT_COMMAND_WRECK, 4, 0});    // later than this frame
    Deliver({NT_COMMAND_CONNECT, 0, 0});  // stale select-screen packets
    Deliver({NT_COMMAND_INPUT, 0x10, 0});
    DeliverSample(2);
    RunFrame(3);
    EXPECT_EQ(inputWords[1], PeerWord(2));
    EXPECT_EQ(Sent(sentBefore), (std::vector<NetPacket>{DataPacket(0, LocalWord(0)), DataPacket(2, LocalWord(2))}));
}

TEST_F(NetExchange, BothPeersLosingTheSameExchangeRecoverEachOther) {
    // Both machines wait at frame 1 for frame 0; this side's request reaches
    // the peer, whose own request comes in before its answer.
    Open(0, 0);
    net().onSend = [this](const test::SentDatagram& d) {
        const NetPacket p = DecodeNetPacket(d.bytes.data());
        if (p.frame != NT_COMMAND_WRECK) return;
        Deliver({NT_COMMAND_WRECK, 0, 0});
        DeliverSample(0);
    };
    RunFrame(0);
    const size_t sentBefore = net().sent.size();
    RunFrame(1);
    EXPECT_EQ(inputWords[1], PeerWord(0));
    EXPECT_EQ(Sent(sentBefore), (std::vector<NetPacket>{{NT_COMMAND_WRECK, 0, 0},
                                                        DataPacket(0, LocalWord(0))}));
}

TEST_F(NetExchange, ElevenTimeOutsDropThePeerAndCloseTheSocketOnce) {
    Open(0, 0);
    DeliverSample(0);
    RunFrame(0);
    RunFrame(1);
    RunFrame(2);
    RunFrame(3);  // the peer is silent from here
    EXPECT_EQ(netConnected, 0);
    EXPECT_EQ(net().nowMs, 11000u);
    EXPECT_EQ(SentCommands(NT_COMMAND_WRECK), std::vector<NetPacket>(11, {NT_COMMAND_WRECK, 2, 0}));
    EXPECT_EQ(inputWords[1], PeerWord(0)) << "the word stays as it was";
    EXPECT_EQ(net().closes, 1);

    // The battle goes on without the network: no wait, no send, words kept.
    const size_t sent = net().sent.size();
    for (int32_t f = 4; f < 8; ++f) RunFrame(f);
    EXPECT_EQ(net().nowMs, 11000u);
    EXPECT_EQ(net().sent.size(), sent);
    EXPECT_EQ(inputWords[1], PeerWord(0));
    EXPECT_EQ(replayInputs[1].size(), 8u);
    NetClose();  // the battle's end closes again
    EXPECT_EQ(net().closes, 1);
    std::string expectedLog;
    for (int i = 0; i < 11; ++i) expectedLog += "NT_COMMAND_WRECK\n";
    EXPECT_EQ(EngineLog(), expectedLog);
}

// A peer that keeps sending packets this side does not wait for, one every
// `everyMs` from `firstMs` on for a long while: what kept a wait alive for ever
// when every packet restarted its second.
struct Flood {
    const char* name;
    NetPacket packet;
    uint64_t firstMs, everyMs;
};
const Flood kFloods[] = {
    {"the peer's start packets, still in its handshake", {NT_COMMAND_START, 0, 0}, 32, 32},
    {"requests for a frame not sampled yet", {NT_COMMAND_WRECK, 4, 0}, 900, 900},
    {"duplicates of an old sample", DataPacket(0, 0x100), 500, 500},
};
constexpr uint64_t kFloodMs = 30000;

TEST_F(NetExchange, AWaitEndsAtItsDeadlineWhileOtherPacketsKeepComing) {
    for (const Flood& flood : kFloods) {
        Open(0, 0);
        DeliverSample(0);
        for (uint64_t t = flood.firstMs; t < kFloodMs; t += flood.everyMs) Deliver(flood.packet, t);
        RunFrame(0);
        RunFrame(1);
        // The peer's sample of frame 2 was lost; it answers the request.
        PeerAnswersResendRequests();
        const size_t sentBefore = net().sent.size();
        RunFrame(2);
        RunFrame(3);
        EXPECT_EQ(inputWords[1], PeerWord(2)) << flood.name;
        // Besides the answers to start packets: the sample of frame 2, then
        // the request for the peer's after one second.
        std::vector<NetPacket> sent = Sent(sentBefore);
        std::erase(sent, NetPacket{NT_COMMAND_START, 0, NET_START_ANSWER});
        ASSERT_EQ(sent.size(), 2u) << flood.name;
        EXPECT_EQ(sent[1], (NetPacket{NT_COMMAND_WRECK, 2, 0})) << flood.name;
        EXPECT_EQ(net().sent.back().timeMs, 1000u) << flood.name << ": the request after one second";
        EXPECT_EQ(netConnected, 1) << flood.name;
        NetClose();
        net().onSend = nullptr;
        net().nowMs = 0;
    }
}

TEST_F(NetExchange, AFloodFromAPeerThatNeverAnswersEndsAfterElevenSeconds) {
    Open(0, 0);
    for (uint64_t t = 32; t < kFloodMs; t += 32) Deliver({NT_COMMAND_START, 0, 0}, t);
    RunFrame(0);
    RunFrame(1);
    EXPECT_EQ(netConnected, 0);
    EXPECT_EQ(net().nowMs, 11000u);
    EXPECT_EQ(SentCommands(NT_COMMAND_WRECK), std::vector<NetPacket>(11, {NT_COMMAND_WRECK, 0, 0}));
}

// The select screen's exchange and the battle's start handshake.
class NetSelectAndStart : public NetExchange {
protected:
    void SetUp() override {
        NetExchange::SetUp();
        SetKeyStateSource([](int key) -> int16_t { return zPressed && key == 'Z' ? -128 : 0; });
    }
    void TearDown() override {
        SetKeyStateSource(nullptr);
        NetExchange::TearDown();
    }
    static inline bool zPressed = false;
};

// The peer's connect packet tells its side and line speed: it connects only a
// peer on the other side with the same line speed. A peer that has connected
// sends no more connect packets, so all this side may see is its words, or,
// gone on to the battle, its start packets: those connect as well.
TEST_F(NetSelectAndStart, ConnectsOnlyAPeerWhoseSettingsFit) {
    constexpr uint16_t kPeerTag = 0x1234;
    NetPacket damaged = ConnectPacket(1, 0, kPeerTag);
    damaged.value ^= 0x0100;
    const struct {
        const char* name;
        NetPacket packet;
        NetConnect result;
    } cases[] = {
        {"the peer on side 1", ConnectPacket(1, 0, kPeerTag), NetConnect::CONNECTED},
        {"a connect packet that tells nothing", {NT_COMMAND_CONNECT, 0, 0}, NetConnect::CONNECTED},
        {"the peer's start packet", {NT_COMMAND_START, 0, 0}, NetConnect::CONNECTED},
        {"the peer's word", SelectWord(INPUT_Z, 1), NetConnect::CONNECTED},
        {"a peer on side 0 too", ConnectPacket(0, 0, kPeerTag), NetConnect::REFUSED},
        {"a peer on a slow line", ConnectPacket(1, 1, kPeerTag), NetConnect::REFUSED},
        {"a damaged connect packet", damaged, NetConnect::WAITING},
        {"a request", {NT_COMMAND_WRECK, 0, 0}, NetConnect::WAITING},
        {"a damaged request", {NT_COMMAND_BROKEN, 0, 0}, NetConnect::WAITING},
        {"a battle packet", {0, 0, 0}, NetConnect::WAITING},
    };
    for (const auto& c : cases) {
        Open(0, 0);
        netConnected = 0;
        EXPECT_EQ(PollNetConnect(), NetConnect::WAITING) << "nothing queued";
        Deliver(c.packet);
        EXPECT_EQ(PollNetConnect(), c.result) << c.name;
        EXPECT_EQ(netConnected, c.result == NetConnect::CONNECTED ? 1 : 0) << c.name;
        EXPECT_EQ(netPeerRefused, c.result == NetConnect::REFUSED) << c.name;
        EXPECT_EQ(SentCommands(NT_COMMAND_CONNECT), std::vector<NetPacket>(2, ConnectPacket(0, 0, netGameTag)))
            << "one a poll";
        EXPECT_EQ(net().nowMs, 0u);
        NetClose();
        net().sent.clear();
    }
}

// Each machine says on standard error, once a screen, why it does not connect.
TEST_F(NetSelectAndStart, ItsOwnConnectPacketsAndAPeerOnTheSameSideAreToldOnce) {
    Open(1, 1);
    netConnected = 0;
    testing::internal::CaptureStderr();
    for (int i = 0; i < 3; ++i) {
        Deliver(ConnectPacket(1, 1, netGameTag));  // as the socket hears itself on 127.0.0.1
        Deliver(ConnectPacket(1, 1, static_cast<uint16_t>(netGameTag + 1)));
        EXPECT_EQ(PollNetConnect(), NetConnect::WAITING) << "its own connect packet";
        EXPECT_EQ(PollNetConnect(), NetConnect::REFUSED) << "another game on side 1";
    }
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_EQ(told,
              "network: this game hears its own connect packets: the peer address in config.dat (127.0.0.1, port "
              "59999) leads back to this machine; waiting for another one\n"
              "network: the other machine is set to side 1 as well; one machine must play side 0 and the other side 1 "
              "(config.dat)\n");
    EXPECT_EQ(netConnected, 0);
}

TEST_F(NetSelectAndStart, ALockedDecideIsNotSent) {
    Open(0, 0);
    const struct {
        bool pressed, locked;
        bool refused;
        uint16_t sent;
    } cases[] = {{true, true, true, 0}, {true, false, false, INPUT_Z}, {false, true, false, 0}};
    for (const auto& c : cases) {
        zPressed = c.pressed;
        const size_t before = net().sent.size();
        EXPECT_EQ(SendSelectInput([&c](InputWord, InputWord) { return c.locked; }), c.refused);
        const auto period = static_cast<uint16_t>(netSelectPeriod);
        EXPECT_EQ(Sent(before), (std::vector<NetPacket>{SelectWord(c.sent, period)}));
        EXPECT_EQ(netSelectLocalInput, c.sent);
    }
    zPressed = false;
}

TEST_F(NetSelectAndStart, BothWordsOfAPeriodAreAppliedTogether) {
    Open(1, 0);
    zPressed = true;
    SendSelectInput();
    EXPECT_EQ(inputWords[1], 0) << "the local word waits for the peer's";
    // The peer asks for the word again before its own arrives; other packets
    // are skipped without using up a try.
    Deliver({NT_COMMAND_WRECK, 0, 0});
    Deliver({NT_COMMAND_START, 0, 0});
    Deliver({4, 4, 4});
    Deliver(SelectWord(INPUT_LEFT, 1), 2500);
    const size_t before = net().sent.size();
    ReceiveSelectInput();
    EXPECT_EQ(inputWords[0], INPUT_LEFT);
    EXPECT_EQ(inputWords[1], INPUT_Z);
    // The answer: the word of the period before (before the first one every
    // button counts as held) and this period's.
    EXPECT_EQ(Sent(before), (std::vector<NetPacket>{SelectWord(INPUT_ALL_BUTTONS, 0), SelectWord(INPUT_Z, 1)}));
    EXPECT_EQ(netConnected, 1);
    zPressed = false;
}

// Both words of period 1 were lost, and the peer's of period 2 as well: the
// peer, a period ahead, asks for a word this side cannot send yet, while this
// side waits for the peer's word of period 1. A request that comes soon is
// only answered; one that comes once this side's word is overdue is answered
// and asked back, which frees both before either wait runs out.
TEST_F(NetSelectAndStart, AStuckPeersRequestIsAskedBackOnceTheWordIsOverdue) {
    Open(0, 0);
    SendSelectInput();
    Deliver({NT_COMMAND_WRECK, 0, 0}, 100);
    Deliver({NT_COMMAND_WRECK, 0, 0}, 1500);
    Deliver({NT_COMMAND_WRECK, 0, 0}, 1600);
    net().onSend = [this](const test::SentDatagram& d) {
        if (DecodeNetPacket(d.bytes.data()).frame != NT_COMMAND_WRECK) return;
        Deliver(SelectWord(INPUT_LEFT, 1), 20);
        Deliver(SelectWord(0, 2), 20);
    };
    ReceiveSelectInput();
    EXPECT_EQ(inputWords[1], INPUT_LEFT);
    EXPECT_EQ(netConnected, 1);
    EXPECT_EQ(net().nowMs, 1520u);
    EXPECT_EQ(SentCommands(NT_COMMAND_WRECK), std::vector<NetPacket>(1, {NT_COMMAND_WRECK, 0, 0}));
}

TEST_F(NetSelectAndStart, ThreeSilentWaitsEndTheConnection) {
    Open(0, 0);
    inputWords[1] = INPUT_A;
    ReceiveSelectInput();
    EXPECT_EQ(netConnected, 0);
    EXPECT_EQ(inputWords[1], 0);
    EXPECT_EQ(net().nowMs, 9000u);
    EXPECT_EQ(SentCommands(NT_COMMAND_WRECK), std::vector<NetPacket>(2, {NT_COMMAND_WRECK, 0, 0}));
    EXPECT_TRUE(NetIsOpen()) << "the screen closes the socket when it leaves";
}

// The stall seen through a lossy relay: the peer's connect packet connected
// this side, but every packet this side sent after it was lost, its word of
// period 1 too. The peer stays on its connect step, sending a connect packet
// a frame, which takes only connect, start and select-word packets; this side
// waits for a word that would never come, and both sit apart for good.
TEST_F(NetSelectAndStart, APeerStillConnectingIsSentTheWordThatConnectsIt) {
    Open(0, 0);
    SendSelectInput();  // period 1: lost on the way
    for (uint64_t t = 16; t <= 480; t += 16) Deliver({NT_COMMAND_CONNECT, 0, 0}, t);
    bool peerConnected = false;
    net().onSend = [this, &peerConnected](const test::SentDatagram& d) {
        const int16_t frame = DecodeNetPacket(d.bytes.data()).frame;
        if (peerConnected || (frame != NT_COMMAND_CONNECT && frame != NT_COMMAND_START && frame != NT_COMMAND_INPUT)) {
            return;
        }
        peerConnected = true;
        Deliver(SelectWord(INPUT_LEFT, 1), 50);  // its first word, three frames on
    };
    ReceiveSelectInput();
    EXPECT_TRUE(peerConnected);
    EXPECT_EQ(netConnected, 1);
    EXPECT_EQ(inputWords[1], INPUT_LEFT);
    EXPECT_LT(net().nowMs, 100u) << "before the first try's time-out";
    EXPECT_TRUE(SentCommands(NT_COMMAND_WRECK).empty());
}

TEST_F(NetSelectAndStart, SelectTriesEndAtTheirDeadlinesWhileOtherPacketsKeepComing) {
    Open(0, 0);
    for (uint64_t t = 32; t < kFloodMs; t += 32) Deliver({NT_COMMAND_START, 0, 0}, t);
    ReceiveSelectInput();
    EXPECT_EQ(netConnected, 0);
    EXPECT_EQ(net().nowMs, 9000u);
    EXPECT_EQ(SentCommands(NT_COMMAND_WRECK), std::vector<NetPacket>(2, {NT_COMMAND_WRECK, 0, 0}));
}

// Only the peer's start packet ends the handshake: a peer still on its select
// screen asks for this side's last word with requests for 0 (the relay's
// duplicates and its re-asks make them many), which are answered, and a peer
// already in its battle answers start packets. After the start packet one
// more packet is dropped, here the last one, at 5 seconds.
TEST_F(NetSelectAndStart, TheHandshakeEndsOnlyOnThePeersStartPacket) {
    const NetPacket wreck0{NT_COMMAND_WRECK, 0, 0}, broken0{NT_COMMAND_BROKEN, 0, 0};
    const struct {
        const char* name;
        std::vector<NetPacket> packets;  // at 100 ms and every 40 ms after
        uint64_t startMs;                // the peer's start packet; 0: in `packets`
        int selectRequests;
    } cases[] = {
        {"a select screen's requests, duplicated", {wreck0, wreck0, wreck0, wreck0, wreck0, wreck0}, 2000, 6},
        {"requests of both kinds", {wreck0, broken0, wreck0, broken0}, 2000, 2},
        {"the peer's sample of frame 0", {DataPacket(0, 0x10), DataPacket(0, 0x10)}, 2000, 0},
        {"select-screen packets", {{NT_COMMAND_CONNECT, 0, 0}, SelectWord(0x10, 4)}, 2000, 0},
        {"the peer's start packet", {{NT_COMMAND_START, 0, 0}}, 0, 0},
        {"a battle's answer to a start packet", {{NT_COMMAND_START, 0, NET_START_ANSWER}}, 0, 0},
    };
    for (const auto& c : cases) {
        Open(0, 0);
        for (size_t i = 0; i < c.packets.size(); ++i) Deliver(c.packets[i], 100 + 40 * i);
        if (c.startMs != 0) Deliver({NT_COMMAND_START, 0, 0}, c.startMs);
        Deliver({NT_COMMAND_WRECK, 2, 0}, 5000);
        int pumps = 0;
        EXPECT_TRUE(RunStartHandshake([&pumps] { return ++pumps < 1000; })) << c.name;
        EXPECT_EQ(net().nowMs, 5000u) << c.name;
        EXPECT_TRUE(net().inbox.empty()) << c.name;
        EXPECT_EQ(static_cast<int>(SentCommands(NT_COMMAND_INPUT).size()), 2 * c.selectRequests) << c.name;
        NetClose();
        net().nowMs = 0;
        net().sent.clear();
    }
}

// A select screen that has decided the match and waits for the peer's last
// word takes the peer's start packet for the peer's leaving: the peer leaves
// only once it has the words that this side sent after deciding, so it has
// decided the same. Before the decision a start packet means nothing.
TEST_F(NetSelectAndStart, TheStartPacketOfAPeerThatHasLeftEndsTheWaitOfADecidedScreen) {
    for (const bool decided : {true, false}) {
        SCOPED_TRACE(decided);
        Open(0, 0);
        SendSelectInput();
        Deliver({NT_COMMAND_START, 0, 0}, 4000);
        ReceiveSelectInput(decided);
        EXPECT_EQ(netSelectPeerLeft, decided);
        EXPECT_EQ(netConnected, decided ? 1 : 0);
        EXPECT_EQ(net().nowMs, decided ? 4000u : 9000u);
        NetClose();
        net().nowMs = 0;
    }
}

// A battle answers the start packets of a peer that has missed every one of
// this side's and still waits in its handshake; an answer is not answered.
TEST_F(NetExchange, ABattleAnswersThePeersStartPacketsButNotTheirAnswers) {
    Open(0, 0);
    RunFrame(0);
    Deliver({NT_COMMAND_START, 0, 0});
    Deliver({NT_COMMAND_START, 0, NET_START_ANSWER});
    Deliver({NT_COMMAND_START, 0, 0});
    DeliverSample(0);
    RunFrame(1);
    EXPECT_EQ(inputWords[1], PeerWord(0));
    EXPECT_EQ(SentCommands(NT_COMMAND_START), std::vector<NetPacket>(2, {NT_COMMAND_START, 0, NET_START_ANSWER}));
    EXPECT_EQ(net().nowMs, 0u);
}

// Both screens left on the same frame, but the peer's copy of this side's
// last word was lost: the peer waits for it on its select screen and asks.
TEST_F(NetSelectAndStart, TheHandshakeAnswersAPeerStillWaitingForTheLastSelectWord) {
    Open(0, 0);
    zPressed = true;
    SendSelectInput();  // period 1: INPUT_Z
    zPressed = false;
    Deliver({NT_COMMAND_WRECK, 0, 0}, 100);
    // Once answered, the peer leaves its screen too and starts.
    net().onSend = [this](const test::SentDatagram& d) {
        if (DecodeNetPacket(d.bytes.data()).frame == NT_COMMAND_INPUT) Deliver({NT_COMMAND_START, 0, 0}, 50);
    };
    const size_t before = net().sent.size();
    int pumps = 0;
    EXPECT_TRUE(RunStartHandshake([&pumps] { return ++pumps < 100; }));
    std::vector<NetPacket> answers;
    for (const NetPacket& p : Sent(before)) {
        if (p.frame == NT_COMMAND_INPUT) answers.push_back(p);
    }
    EXPECT_EQ(answers, (std::vector<NetPacket>{SelectWord(INPUT_ALL_BUTTONS, 0), SelectWord(INPUT_Z, 1)}));
}

TEST_F(NetSelectAndStart, HandshakeSkipsStalePacketsAndStarts) {
    Open(0, 0);
    Deliver({NT_COMMAND_CONNECT, 0, 0});
    Deliver({NT_COMMAND_INPUT, 0x10, 0});
    Deliver({NT_COMMAND_WRECK, 0, 0});
    net().onSend = [this](const test::SentDatagram& d) {
        if (DecodeNetPacket(d.bytes.data()).frame == NT_COMMAND_START) Deliver({NT_COMMAND_START, 0, 0}, 5);
    };
    netPendingPackets.push_back({40, 1, 1});
    netSentSamples[40] = 1;
    int pumps = 0;
    EXPECT_TRUE(RunStartHandshake([&pumps] { return ++pumps < 50; }));
    EXPECT_LT(pumps, 50);
    EXPECT_TRUE(netPendingPackets.empty());
    EXPECT_TRUE(netSentSamples.empty());
    EXPECT_EQ(netConnected, 1);
}

TEST_F(NetSelectAndStart, HandshakeGoesOnWhenThePeerAnswersEachStartOnce) {
    // Both machines read each other's first start packet; each then waits for
    // one more, which only comes because both keep sending while they wait.
    Open(0, 0);
    int answered = 0;
    net().onSend = [this, &answered](const test::SentDatagram& d) {
        if (DecodeNetPacket(d.bytes.data()).frame != NT_COMMAND_START) return;
        ++answered;
        Deliver({NT_COMMAND_START, 0, 0});
    };
    int pumps = 0;
    EXPECT_TRUE(RunStartHandshake([&pumps] { return ++pumps < 50; }));
    EXPECT_EQ(answered, 2);
    EXPECT_TRUE(net().inbox.empty());
}

TEST_F(NetSelectAndStart, HandshakeWithoutAPeerEndsWhenThePumpSaysSo) {
    Open(0, 0);
    int pumps = 0;
    EXPECT_FALSE(RunStartHandshake([&pumps] { return ++pumps < 5; }));
    EXPECT_EQ(pumps, 5);
    EXPECT_EQ(SentCommands(NT_COMMAND_START).size(), 4u);
    EXPECT_EQ(net().nowMs, 4 * NET_HANDSHAKE_PAUSE_MS);
    NetClose();
    EXPECT_FALSE(RunStartHandshake([] { return true; }));
}

// The peer's select-screen word of a period: the word, and the word XOR the
// period in the third field.

// Period 2 of the select exchange: this side has sent INPUT_Z, the peer's
// INPUT_LEFT is awaited. The peer answers a request with its words of the
// period before and of its current one, as this side does.
NetPacket Damaged(NetPacket packet, uint16_t valueBits, uint16_t copyBits) {
    packet.value ^= valueBits;
    packet.valueCopy ^= copyBits;
    return packet;
}

TEST_F(NetSelectAndStart, ALostOrDamagedSelectWordIsAskedForAgain) {
    const NetPacket peerWord2 = SelectWord(INPUT_LEFT, 2), peerWord3 = SelectWord(INPUT_UP, 3);
    const struct {
        const char* name;
        std::vector<NetPacket> arrive;  // at once, before any request
        std::vector<NetPacket> answer;  // the peer's answer to a request
        uint64_t waitedMs;
    } cases[] = {
        {"lost, the peer silent", {}, {SelectWord(INPUT_A, 1), peerWord2}, 3000},
        {"lost, the peer a period ahead", {peerWord3}, {peerWord2, peerWord3}, 0},
        {"the word damaged", {Damaged(peerWord2, 0x40, 0)}, {SelectWord(INPUT_A, 1), peerWord2}, 0},
        {"the copy damaged", {Damaged(peerWord2, 0, 0x100)}, {SelectWord(INPUT_A, 1), peerWord2}, 0},
        // Period 3's tag with its lowest bit flipped is period 2's without the
        // doubled byte.
        {"the next period's word damaged", {Damaged(peerWord3, 0, 1)}, {peerWord2, peerWord3}, 0},
        {"late duplicates of earlier words first", {SelectWord(INPUT_A, 1), SelectWord(0, 0), peerWord2}, {}, 0},
    };
    for (const auto& c : cases) {
        Open(0, 0);
        zPressed = false;
        SendSelectInput();
        Deliver(SelectWord(INPUT_A, 1));
        ReceiveSelectInput();
        zPressed = true;
        SendSelectInput();
        zPressed = false;
        for (const NetPacket& p : c.arrive) Deliver(p);
        net().onSend = [this, &c](const test::SentDatagram& d) {
            if (DecodeNetPacket(d.bytes.data()).frame != NT_COMMAND_WRECK) return;
            for (const NetPacket& p : c.answer) Deliver(p);
        };
        ReceiveSelectInput();
        EXPECT_EQ(inputWords[1], INPUT_LEFT) << c.name;
        EXPECT_EQ(inputWords[0], INPUT_Z) << c.name;
        EXPECT_EQ(netConnected, 1) << c.name;
        EXPECT_EQ(net().nowMs, c.waitedMs) << c.name;
        EXPECT_EQ(SentCommands(NT_COMMAND_WRECK).size(), c.answer.empty() ? 0u : 1u) << c.name;
        NetClose();
        net().onSend = nullptr;
        net().nowMs = 0;
        net().sent.clear();
    }
}

// The end of a network battle: this side answers the peer's requests for its
// last samples, but neither another kind of packet nor a peer that never
// stops keeps it waiting, and the window is served meanwhile.
class BattleEndWait : public NetExchange {
protected:
    void SetUp() override {
        NetExchange::SetUp();
        Open(0, 0);
        for (int32_t f = 0; f <= 4; f += 2) SendInputSample(f, LocalWord(f));
        net().sent.clear();
    }
    uint64_t Wait(int pumpLimit = 1 << 30) {
        pumps = 0;
        AnswerResendRequestsUntilSilent([this, pumpLimit] { return ++pumps < pumpLimit; });
        return net().nowMs;
    }
    int pumps = 0;
};

// The samples sent at a time, in order.
std::vector<NetPacket> SentAt(const test::FakeNetwork& net, uint64_t timeMs) {
    std::vector<NetPacket> packets;
    for (const test::SentDatagram& d : net.sent) {
        if (d.timeMs == timeMs) packets.push_back(DecodeNetPacket(d.bytes.data()));
    }
    return packets;
}

TEST_F(BattleEndWait, APeerBackOnItsSelectScreenDoesNotHoldItUp) {
    for (uint64_t t = 0; t < 60000; t += 16) Deliver({NT_COMMAND_CONNECT, 0, 0}, t);
    EXPECT_EQ(Wait(), NET_END_SILENCE_MS);
    EXPECT_EQ(net().sent.size(), 4u) << "only the last two samples, twice";
    EXPECT_GT(pumps, static_cast<int>(NET_END_SILENCE_MS / NET_HANDSHAKE_PAUSE_MS)) << "the window was served";
}

// The peer may have lost this side's last samples before it could ask for
// them: they go again at once and a second later, unasked.
TEST_F(BattleEndWait, TheLastTwoSamplesGoAgainUnasked) {
    EXPECT_EQ(Wait(), NET_END_SILENCE_MS);
    const std::vector<NetPacket> last = {DataPacket(4, LocalWord(4)), DataPacket(2, LocalWord(2))};
    EXPECT_EQ(SentAt(net(), 0), last);
    EXPECT_EQ(SentAt(net(), NET_BATTLE_WAIT_MS), last);
    EXPECT_EQ(net().sent.size(), 4u);
}

TEST_F(BattleEndWait, TheLastRequestsAreAnsweredUntilThePeerIsSatisfied) {
    Deliver({NT_COMMAND_WRECK, 4, 0}, 300);
    Deliver({NT_COMMAND_BROKEN, 2, 0}, 1300);
    Deliver({NT_COMMAND_WRECK, 6, 0}, 1400);  // never sampled: not answered
    EXPECT_EQ(Wait(), 1300 + NET_END_SILENCE_MS);
    EXPECT_EQ(SentAt(net(), 300), (std::vector<NetPacket>{DataPacket(4, LocalWord(4))}));
    EXPECT_EQ(SentAt(net(), 1300), (std::vector<NetPacket>{DataPacket(2, LocalWord(2))}));
    EXPECT_TRUE(SentAt(net(), 1400).empty());
}

TEST_F(BattleEndWait, APeerThatKeepsAskingIsAnsweredUntilTheCap) {
    for (uint64_t t = 0; t < 60000; t += 500) Deliver({NT_COMMAND_WRECK, 4, 0}, t);
    EXPECT_EQ(Wait(), NET_END_WAIT_LIMIT_MS);
    EXPECT_EQ(Sent().size(), NET_END_WAIT_LIMIT_MS / 500 + 1 + 4)
        << "every request up to the cap, both ends included, and the last two samples twice";
}

TEST_F(BattleEndWait, TheWindowAskingToQuitOrAClosedSocketEndsIt) {
    for (uint64_t t = 0; t < 60000; t += 500) Deliver({NT_COMMAND_WRECK, 4, 0}, t);
    const uint64_t quit = Wait(5);
    EXPECT_EQ(pumps, 5);
    EXPECT_LE(quit, 4 * NET_HANDSHAKE_PAUSE_MS);
    NetClose();  // the escape key's hook
    EXPECT_EQ(Wait(), quit);
    EXPECT_EQ(pumps, 0);
}

TEST(SyncPlayerInput, RecordsPlaysBackAndMasksOneSide) {
    const struct {
        const char* name;
        SyncFrame frame;
        InputWord word, pad;
        std::vector<uint16_t> list;
        InputWord expectedWord, expectedPad;
        std::vector<uint16_t> expectedList;
    } cases[] = {
        {"recorded before the masks", {5, 150, false, false, false, false}, 0x7FF, 0x7FF, {1, 2}, 0, 0, {1, 2, 0x7FF}},
        {"arrows and V late in the countdown", {5, 100, false, false, false, false}, 0x7FF, 0x431, {}, 0x4F, 0x01, {0x7FF}},
        {"free after the countdown", {5, 0, false, false, false, false}, 0x7FF, 0x431, {}, 0x7FF, 0x431, {0x7FF}},
        {"nothing once the battle is over", {5, 0, false, false, true, false}, 0x7FF, 0x431, {}, 0, 0, {0x7FF}},
        {"playback takes the stored word", {1, 0, false, false, false, true}, 0x3, 0x0, {9, 0x30, 7}, 0x30, 0, {9, 0x30, 7}},
        {"playback past the end gives 0", {3, 0, false, false, false, true}, 0x3, 0x0, {9, 0x30, 7}, 0, 0, {9, 0x30, 7}},
        {"paused: neither recorded nor played", {1, 0, false, true, false, true}, 0x3, 0x0, {9, 0x30}, 0x3, 0, {9, 0x30}},
        {"paused while recording", {1, 0, false, true, false, false}, 0x3, 0x0, {9}, 0x3, 0, {9}},
        {"no exchange while disconnected", {1, 0, true, false, false, false}, 0x3, 0x0, {}, 0x3, 0, {0x3}},
    };
    netSendInterval = 2;
    for (const auto& c : cases) {
        netConnected = 0;
        inputWords[1] = c.word;
        buttonStates[1][BUTTON_RIGHT] = BUTTON_STATE_UP;
        InputWord pad = c.pad;
        ButtonStates padButtons = {};
        replayInputs[1] = c.list;
        SyncPlayerRecord record{0x5555, &pad, padButtons};
        SyncPlayerInput(1, c.frame, record);
        EXPECT_EQ(inputWords[1], c.expectedWord) << c.name;
        EXPECT_EQ(pad, c.expectedPad) << c.name;
        EXPECT_EQ(replayInputs[1], c.expectedList) << c.name;
        // Both ButtonStates follow the final words.
        EXPECT_EQ(buttonStates[1][BUTTON_RIGHT] == BUTTON_STATE_PRESSED, (c.expectedWord & INPUT_RIGHT) != 0) << c.name;
        EXPECT_EQ(padButtons[BUTTON_UP] == BUTTON_STATE_PRESSED, (c.expectedPad & INPUT_UP) != 0) << c.name;
    }
}

}  // namespace
