#include "game/flow/net_exchange.h"
#include "game/flow/replay_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <random>
#include <utility>
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

// A request for the peer's select-screen word of a period, as this game sends
// it: the period's tag in the copy field.
NetPacket SelectRequest(uint16_t period) {
    return {NT_COMMAND_WRECK, 0, static_cast<uint16_t>((period & 0xFF) * 0x101)};
}

// A packet with some bits of its value and copy fields flipped.
NetPacket Damaged(NetPacket packet, uint16_t valueBits, uint16_t copyBits) {
    packet.value ^= valueBits;
    packet.valueCopy ^= copyBits;
    return packet;
}

// A data packet in the plain format: the word twice.
NetPacket Plain(int32_t frame, InputWord word) { return {static_cast<int16_t>(frame), word, word}; }

// A data packet between two of this game's machines: each copy of the word
// carries in bits 11 to 15 the XOR of k + 1 over the set bits k of the frame.
NetPacket Framed(int32_t frame, InputWord word) {
    uint16_t check = 0;
    for (int bit = 0; bit < 16; ++bit) {
        if (static_cast<uint16_t>(frame) >> bit & 1) check ^= static_cast<uint16_t>(bit + 1);
    }
    const auto value = static_cast<uint16_t>(word | check << 11);
    return {static_cast<int16_t>(frame), value, value};
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
    // `extendedPeer`: the peer's connect packet announced this game's extensions.
    void Open(int32_t localSide, uint8_t slowLine, bool extendedPeer = false) {
        std::memset(&config, 0, sizeof config);
        std::strcpy(config.peerHost, "127.0.0.1");
        config.port = test::kFakePort;
        config.localSide = localSide;
        config.slowLine = slowLine;
        ASSERT_TRUE(NetOpen());
        netConnected = 1;
        netPeerExtended = extendedPeer;
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
    // A sample of the peer's, in the format its kind of peer sends.
    static NetPacket Sample(int32_t f, InputWord word) { return netPeerExtended ? Framed(f, word) : Plain(f, word); }
    void DeliverSample(int32_t f) { Deliver(Sample(f, PeerWord(f))); }

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
                expected.push_back(Sample(f, LocalWord(f)));
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
    NetPacket damaged = Plain(2, PeerWord(2));
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
    Deliver({2, PeerWord(2), 0x7777});
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
// frame's sample under number 2, where only the frame check in the word of an
// extended peer shows the damage. The awaited packet may be the damaged one,
// so it is asked for at once, as one with unequal copies is, and comes
// without a wait running out. From a plain peer a number outside the frame
// window shows the same way.
TEST_F(NetExchange, ADamagedFrameNumberIsAskedForAtOnce) {
    const struct {
        const char* name;
        int16_t frame;    // the damaged frame field
        int32_t sampled;  // the frame whose sample it carries
        bool plainToo;    // shows in the plain format as well
    } cases[] = {
        {"behind the awaited frame", 0, 2, true},
        {"not a sampling frame", 3, 2, true},
        {"more than two exchanges ahead", 8, 2, true},
        {"far ahead", 0x4002, 2, true},
        {"turned into no command", static_cast<int16_t>(0x8002), 2, true},
        {"the next sample under the awaited number", 2, 4, false},
        {"a later sample under the awaited number", 2, 6, false},
    };
    for (const auto& c : cases) {
        for (const bool extended : {true, false}) {
            if (!extended && !c.plainToo) continue;
            SCOPED_TRACE(extended ? "extended" : "plain");
            Open(0, 0, extended);
            PeerAnswersResendRequests();
            DeliverSample(0);
            RunFrame(0);
            RunFrame(1);
            const NetPacket sound = Sample(c.sampled, PeerWord(c.sampled));
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
}

// With an extended peer a data packet carries its word twice, each with the
// frame check in the word's unused high bits, which the receiver takes off
// again; any one or two damaged bits of the frame field show. A word with no
// check is a plain one (a peer whose connect packet only looked like an
// announcement) and is taken too. With a plain peer the word goes as it is.
TEST(NetDataPacket, CarriesItsWordTwiceWithACheckOfItsFrameOnlyToAnExtendedPeer) {
    for (const int32_t frame : {2, 3, 300, 0x7FFE}) {
        for (const InputWord word : {InputWord{0}, InputWord{INPUT_Z | INPUT_LEFT}, INPUT_ALL_BUTTONS}) {
            netPeerExtended = true;
            const NetPacket packet = DataPacket(frame, word);
            EXPECT_EQ(packet, Framed(frame, word));
            InputWord taken = 0xFFFF;
            EXPECT_TRUE(DataPacketWord(packet, &taken));
            EXPECT_EQ(taken, word);
            EXPECT_TRUE(DataPacketWord(Plain(frame, word), &taken));
            EXPECT_EQ(taken, word);
            for (int a = 0; a < 16; ++a) {
                for (int b = a; b < 16; ++b) {
                    NetPacket damaged = packet;
                    damaged.frame = static_cast<int16_t>(damaged.frame ^ (1 << a) ^ (a == b ? 0 : 1 << b));
                    EXPECT_FALSE(DataPacketWord(damaged, &taken)) << frame << " bits " << a << " " << b;
                }
            }
            netPeerExtended = false;
            EXPECT_EQ(DataPacket(frame, word), Plain(frame, word));
            EXPECT_TRUE(DataPacketWord(Plain(frame, word), &taken));
            EXPECT_EQ(taken, word);
            EXPECT_FALSE(DataPacketWord({static_cast<int16_t>(frame), word, static_cast<uint16_t>(word ^ 1)}, &taken));
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
    EXPECT_EQ(netPendingPackets, (std::vector<NetPacket>{Plain(2, PeerWord(2))}));
    const int waitsBefore = net().waits;
    RunFrame(2);
    RunFrame(3);
    EXPECT_EQ(inputWords[1], PeerWord(2));
    EXPECT_EQ(net().waits, waitsBefore) << "taken from the list without a wait";
}

TEST_F(NetExchange, TwoEarlyPacketsForOneFrameWithDifferentWordsAreBothDropped) {
    // Frame 2's word arrives, then frame 4's damaged into frame 2's number
    // (the plain format has no check of it): which one is right cannot be
    // told, so frame 2 is asked for.
    Open(0, 0);
    PeerAnswersResendRequests();
    DeliverSample(2);
    Deliver(Plain(2, PeerWord(4)));
    Deliver(Plain(2, PeerWord(4)));  // a third copy does not bring either back
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
    EXPECT_EQ(Sent(sentBefore), (std::vector<NetPacket>{Plain(0, LocalWord(0)), Plain(2, LocalWord(2))}));
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
                                                        Plain(0, LocalWord(0))}));
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
    {"duplicates of an old sample", Plain(0, 0x100), 500, 500},
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

// The datagrams this game sends, byte for byte: to a plain peer exactly the
// plain format (a data packet's word twice, a connect packet's value 0), to
// an extended one the frame check in the words; the copy fields of commands
// carry the announcement (the two forms in turn) and the period tags.
TEST_F(NetSelectAndStart, SendsItsDatagramsByteForByte) {
    using Bytes = std::vector<uint8_t>;
    const struct {
        const char* name;
        bool extended;
        std::function<void()> send;
        Bytes expected;
    } cases[] = {
        {"a sample to a plain peer", false, [] { SendInputSample(300, 0x0411); },
         {0x2C, 0x01, 0x11, 0x04, 0x11, 0x04}},
        {"a sample of frame 0 to a plain peer", false, [] { SendInputSample(0, 0); }, {0, 0, 0, 0, 0, 0}},
        {"a sample to an extended peer", true, [] { SendInputSample(300, 0x0411); },
         {0x2C, 0x01, 0x11, 0x44, 0x11, 0x44}},
        {"a connect packet of side 0, tag 0x155", false,
         [] {
             netConnected = 0;
             netGameTag = 0x155;
             PollNetConnect();
         },
         {0xF5, 0xFF, 0, 0, 0x54, 0xE5}},
        {"the next connect packet, in the other form", false,
         [this] {
             netConnected = 0;
             netGameTag = 0x155;
             PollNetConnect();
             net().sent.clear();
             PollNetConnect();
         },
         {0xF5, 0xFF, 0, 0, 0x54, 0x15}},
        {"the first select word", false,
         [] {
             zPressed = true;
             SendSelectInput();
             zPressed = false;
         },
         {0xE2, 0xFF, 0x10, 0, 0x11, 0x01}},
        {"a select request after a silent try", true,
         [this] {
             SendSelectInput();
             net().sent.clear();
             ReceiveSelectInput();
         },
         {0xD8, 0xFF, 0, 0, 0x01, 0x01}},
        {"a start packet", false, 
         [] {
             int pumps = 0;
             RunStartHandshake([&pumps] { return ++pumps < 3; });
         },
         {0xF3, 0xFF, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        Open(0, 0, c.extended);
        c.send();
        ASSERT_FALSE(net().sent.empty()) << c.name;
        EXPECT_EQ(net().sent.front().bytes, c.expected) << c.name;
        NetClose();
        net().sent.clear();
        net().nowMs = 0;
    }
}

// The peer's connect packets announce its side and line speed in their copy
// field, in two forms in turn: this side connects only a peer whose two forms
// told the same, on the other side with the same line speed, and uses the
// extensions with it. A damaged packet between the forms only delays that,
// and a pair of another announcement (the peer's game started anew) counts
// on its own. A peer that has connected sends no more connect packets, so
// all this side may see is its first word; a word of a later period belongs
// to an exchange this side is not in, and a start packet never connects.
TEST_F(NetSelectAndStart, ConnectsOnlyAPeerWhoseSettingsFit) {
    constexpr uint16_t kPeerTag = 0x234;
    const NetPacket first = ConnectPacket(1, 0, kPeerTag, 0), second = ConnectPacket(1, 0, kPeerTag, 1);
    const struct {
        const char* name;
        std::vector<NetPacket> packets;  // one a poll
        NetConnect result;               // of the last poll; the ones before wait
        bool extended;
    } cases[] = {
        {"the peer on side 1", {first, second}, NetConnect::CONNECTED, true},
        {"its second form first", {second, first}, NetConnect::CONNECTED, true},
        {"one form alone", {first}, NetConnect::WAITING, false},
        {"a damaged packet between the forms", {first, Damaged(second, 0, 0x0100), second},
         NetConnect::CONNECTED, true},
        {"a damaged check between the forms", {first, Damaged(second, 0, 0x2000), second},
         NetConnect::CONNECTED, true},
        {"forms of two announcements", {first, ConnectPacket(1, 0, kPeerTag ^ 1, 1)}, NetConnect::WAITING, false},
        {"a game started anew between its forms",
         {first, ConnectPacket(1, 0, kPeerTag ^ 1, 1), ConnectPacket(1, 0, kPeerTag ^ 1, 0)},
         NetConnect::CONNECTED, true},
        {"the peer's first word", {SelectWord(INPUT_Z, 1)}, NetConnect::CONNECTED, true},
        {"its first form and its first word", {first, SelectWord(INPUT_Z, 1)}, NetConnect::CONNECTED, true},
        {"a plain peer's word", {{NT_COMMAND_INPUT, INPUT_Z | INPUT_A, 0}}, NetConnect::CONNECTED, false},
        {"a word of a later period", {SelectWord(INPUT_Z, 5)}, NetConnect::WAITING, false},
        {"the peer's start packet", {{NT_COMMAND_START, 0, 0}}, NetConnect::WAITING, false},
        {"a peer on side 0 too", {ConnectPacket(0, 0, kPeerTag, 0), ConnectPacket(0, 0, kPeerTag, 1)},
         NetConnect::REFUSED, false},
        {"a peer on a slow line", {ConnectPacket(1, 1, kPeerTag, 1), ConnectPacket(1, 1, kPeerTag, 0)},
         NetConnect::REFUSED, false},
        {"a request", {{NT_COMMAND_WRECK, 0, 0}}, NetConnect::WAITING, false},
        {"a damaged request", {{NT_COMMAND_BROKEN, 0, 0}}, NetConnect::WAITING, false},
        {"a battle packet", {{0, 0, 0}}, NetConnect::WAITING, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Open(0, 0);
        netConnected = 0;
        netGameTag = 0x3C3;
        testing::internal::CaptureStderr();
        EXPECT_EQ(PollNetConnect(), NetConnect::WAITING) << "nothing queued";
        std::vector<NetPacket> sent{ConnectPacket(0, 0, netGameTag, 0)};
        for (size_t i = 0; i < c.packets.size(); ++i) {
            Deliver(c.packets[i]);
            const NetConnect result = PollNetConnect();
            sent.push_back(ConnectPacket(0, 0, netGameTag, static_cast<int>(sent.size() % 2)));
            if (i + 1 < c.packets.size()) EXPECT_NE(result, NetConnect::CONNECTED) << i;
            else EXPECT_EQ(result, c.result);
        }
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(netConnected, c.result == NetConnect::CONNECTED ? 1 : 0);
        EXPECT_EQ(netPeerRefused, c.result == NetConnect::REFUSED);
        EXPECT_EQ(netPeerExtended, c.extended);
        EXPECT_EQ(SentCommands(NT_COMMAND_CONNECT), sent) << "one a poll, the forms in turn";
        EXPECT_EQ(net().nowMs, 0u);
        NetClose();
        net().sent.clear();
    }
}

// A plain peer may put anything into the copy field of its connect packets,
// also a value that reads as this game's announcement of some side, line and
// tag (in either form, or one bit off one). It is still a plain peer: never
// refused for what that field seems to tell, its untagged select words taken,
// and sent plain data packets. It connects whether it keeps sending connect
// packets (this side's were lost) or sends one and then its first select
// word, as a peer that read this side's connect packet at once does; that
// word is the one of the first period.
TEST_F(NetSelectAndStart, APlainPeerConnectsAsPlainWhateverItsConnectCopyFieldReads) {
    std::mt19937 random(20261211);
    // Side 1, tag 0x155 is 0x555 in the low twelve bits; side 0 (this side's)
    // 0x554; side 1 on a slow line 0x557. The high nibble holds the check.
    const struct {
        const char* name;
        std::function<uint16_t()> copy;
    } cases[] = {
        {"the first form of side 1", [] { return uint16_t{0xF555}; }},
        {"the first form of this side's side", [] { return uint16_t{0xE554}; }},
        {"the second form of side 1", [] { return uint16_t{0x0555}; }},
        {"the second form of a slow line", [] { return uint16_t{0x2557}; }},
        {"the first form with one check bit damaged", [] { return uint16_t{0xE555}; }},
        {"0", [] { return uint16_t{0}; }},
        {"0xFFFF", [] { return uint16_t{0xFFFF}; }},
        {"random per packet", [&random] { return static_cast<uint16_t>(random()); }},
    };
    for (const auto& c : cases) {
        for (const bool sendsItsWord : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (sendsItsWord ? ", then its first word" : ", again and again"));
            Open(0, 0);
            netConnected = 0;
            netGameTag = 0x2AA;  // not the tag of any case
            [&] {
                testing::internal::CaptureStderr();
                NetConnect result = NetConnect::WAITING;
                for (int poll = 0; poll < 8 && result != NetConnect::CONNECTED; ++poll) {
                    const bool word = sendsItsWord && poll > 0;
                    Deliver(word ? NetPacket{NT_COMMAND_INPUT, INPUT_LEFT, 0}
                                 : NetPacket{NT_COMMAND_CONNECT, 0, c.copy()});
                    result = PollNetConnect();
                    EXPECT_NE(result, NetConnect::REFUSED) << "poll " << poll;
                }
                EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
                ASSERT_EQ(result, NetConnect::CONNECTED);
                EXPECT_EQ(netConnected, 1);
                EXPECT_FALSE(netPeerExtended);
                EXPECT_FALSE(netPeerRefused);

                SendSelectInput();
                if (!sendsItsWord) Deliver({NT_COMMAND_INPUT, INPUT_LEFT, 0});
                ReceiveSelectInput();
                EXPECT_EQ(inputWords[1], INPUT_LEFT);
                EXPECT_EQ(netConnected, 1);
                SendInputSample(300, 0x0411);
                EXPECT_EQ(Sent().back(), (NetPacket{300, 0x0411, 0x0411}));
            }();
            NetClose();
            net().sent.clear();
            net().nowMs = 0;
        }
    }
}

// A word one bit off an extended peer's first, from a peer that told one form
// of its announcement, is asked for again once (its other form may have been
// lost and the word damaged): an extended peer answers with its first word
// and connects as one; a plain peer, whose word only looks so, sends the same
// word again and connects as plain with that word kept. A peer that told no
// form is plain at once.
TEST_F(NetSelectAndStart, AWordThatLooksLikeADamagedFirstWordIsAskedForAgainOnce) {
    const NetPacket firstWord = SelectWord(INPUT_LEFT, 1);
    const NetPacket damagedFirstWord{NT_COMMAND_INPUT, INPUT_LEFT, static_cast<uint16_t>(firstWord.valueCopy ^ 0x0200)};
    const NetPacket plainWord{NT_COMMAND_INPUT, 0x0001, 0};  // tag 0x0001: one bit off the first period's 0x0101
    const struct {
        const char* name;
        NetPacket connect;
        std::vector<NetPacket> words;  // one a poll
        bool asks, extended;
        InputWord peerWord;
    } cases[] = {
        {"an extended peer's damaged first word, then the word", ConnectPacket(1, 0, 0x101, 0),
         {damagedFirstWord, firstWord}, true, true, INPUT_LEFT},
        {"a plain peer whose copy field reads as a form", {NT_COMMAND_CONNECT, 0, 0xF555},
         {plainWord, plainWord}, true, false, 0x0001},
        {"a plain peer that told no form", {NT_COMMAND_CONNECT, 0, 0}, {plainWord}, false, false, 0x0001},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Open(0, 0);
        netConnected = 0;
        netGameTag = 0x2AA;
        Deliver(c.connect);
        ASSERT_EQ(PollNetConnect(), NetConnect::WAITING);
        NetConnect result = NetConnect::WAITING;
        for (size_t i = 0; i < c.words.size(); ++i) {
            EXPECT_EQ(result, NetConnect::WAITING) << "before word " << i;
            Deliver(c.words[i]);
            result = PollNetConnect();
        }
        ASSERT_EQ(result, NetConnect::CONNECTED);
        EXPECT_EQ(netPeerExtended, c.extended);
        const std::vector<NetPacket> asked = SentCommands(NT_COMMAND_WRECK);
        EXPECT_EQ(asked, c.asks ? std::vector<NetPacket>(1, SelectRequest(1)) : std::vector<NetPacket>());
        SendSelectInput();
        // An extended peer answers this side's first word with its own; a
        // plain peer's word that connected it is kept for the first period.
        if (c.extended) Deliver(firstWord);
        ReceiveSelectInput();
        EXPECT_EQ(inputWords[1], c.peerWord);
        NetClose();
        net().sent.clear();
        net().nowMs = 0;
    }
}

// A peer refused for its settings is an extended one: its packets that do not
// make a pair (here its game started anew, whose second forms are lost) never
// connect it as a plain peer. Its next pair is judged again.
TEST_F(NetSelectAndStart, APeerRefusedForItsSettingsIsNeverTakenForAPlainOne) {
    Open(0, 0);
    netConnected = 0;
    netGameTag = 0x3C3;
    testing::internal::CaptureStderr();
    const auto pollWith = [this](const NetPacket& packet) {
        Deliver(packet);
        return PollNetConnect();
    };
    EXPECT_EQ(pollWith(ConnectPacket(1, 1, 0x101, 0)), NetConnect::WAITING);
    EXPECT_EQ(pollWith(ConnectPacket(1, 1, 0x101, 1)), NetConnect::REFUSED);
    for (int i = 0; i < 6; ++i) EXPECT_NE(pollWith(ConnectPacket(1, 1, 0x102, 0)), NetConnect::CONNECTED) << i;
    EXPECT_EQ(pollWith(ConnectPacket(1, 1, 0x102, 1)), NetConnect::REFUSED);
    EXPECT_EQ(netConnected, 0);
    // Its player sets the line right and starts the game again.
    EXPECT_EQ(pollWith(ConnectPacket(1, 0, 0x103, 1)), NetConnect::WAITING);
    EXPECT_EQ(pollWith(ConnectPacket(1, 0, 0x103, 0)), NetConnect::CONNECTED);
    EXPECT_TRUE(netPeerExtended);
    EXPECT_EQ(netPeerAnnouncement, ConnectAnnouncement(1, 0, 0x103));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("slow-line setting differs"), std::string::npos);
}

// The program's reset forgets a connect step under way and the peer it knew:
// a form read before it makes no pair with one read after it.
TEST_F(NetSelectAndStart, TheResetForgetsTheConnectStepAndThePeer) {
    Open(0, 0, true);
    netConnected = 0;
    Deliver(ConnectPacket(1, 0, 0x101, 0));
    EXPECT_EQ(PollNetConnect(), NetConnect::WAITING);
    netPeerAnnouncement = ConnectAnnouncement(1, 0, 0x101);
    netSelectPeerRestarted = true;
    ResetNetExchangeState();
    EXPECT_FALSE(netPeerExtended);
    EXPECT_FALSE(netPeerAnnouncement);
    EXPECT_FALSE(netSelectPeerRestarted);
    netGameTag = 0x3C3;
    const size_t before = net().sent.size();
    Deliver(ConnectPacket(1, 0, 0x101, 1));
    EXPECT_EQ(PollNetConnect(), NetConnect::WAITING);
    EXPECT_EQ(Sent(before), std::vector<NetPacket>{ConnectPacket(0, 0, 0x3C3, 0)}) << "the first form again";
}

// A wrong peer address or port: nothing ever answers. Once, after a few
// seconds of polls, standard error says so and what to check; a peer that
// answers in time is not told about.
TEST_F(NetSelectAndStart, ASilentPeerAddressIsToldOnceAfterAFewSeconds) {
    for (const bool answers : {false, true}) {
        Open(0, 0);
        netConnected = 0;
        testing::internal::CaptureStderr();
        if (answers) Deliver(SelectWord(INPUT_Z, 5));  // a stale word: the address is right
        for (int poll = 1; poll < NET_SILENT_CONNECT_POLLS; ++poll) PollNetConnect();
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << answers;
        testing::internal::CaptureStderr();
        for (int poll = 0; poll < 2 * NET_SILENT_CONNECT_POLLS; ++poll) PollNetConnect();
        const std::string told = testing::internal::GetCapturedStderr();
        if (answers) {
            EXPECT_EQ(told, "");
        } else {
            EXPECT_EQ(told,
                      "network: nothing has answered from 127.0.0.1 port 59999 yet; check config.dat on both "
                      "machines: each names the other machine's IPv4 address, both use the same port, one plays "
                      "side 0 and the other side 1, and both have the same slow-line setting (and no firewall drops "
                      "UDP on that port)\n");
        }
        NetClose();
    }
}

// Each machine says on standard error, once a screen, why it does not connect.
TEST_F(NetSelectAndStart, ItsOwnConnectPacketsAndAPeerOnTheSameSideAreToldOnce) {
    Open(1, 1);
    netConnected = 0;
    testing::internal::CaptureStderr();
    // As the socket hears itself on 127.0.0.1: however long, it does not
    // take itself for a plain peer.
    for (int i = 0; i < 8; ++i) {
        Deliver(ConnectPacket(1, 1, netGameTag, i % 2));
        EXPECT_EQ(PollNetConnect(), NetConnect::WAITING) << "its own connect packet";
    }
    for (int i = 0; i < 3; ++i) {
        for (const int form : {0, 1}) {
            Deliver(ConnectPacket(1, 1, netGameTag, form));
            EXPECT_EQ(PollNetConnect(), NetConnect::WAITING) << "its own connect packet";
        }
        for (const int form : {0, 1}) Deliver(ConnectPacket(1, 1, static_cast<uint16_t>(netGameTag ^ 1), form));
        EXPECT_NE(PollNetConnect(), NetConnect::CONNECTED) << "another game on side 1";
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

// The peer asks for the word again before its own arrives; other packets
// are skipped without using up a try. A request is answered with one word,
// this period's. A plain peer's word is taken whatever its copy field holds.
TEST_F(NetSelectAndStart, BothWordsOfAPeriodAreAppliedTogether) {
    const struct {
        const char* name;
        bool extended;
        std::vector<NetPacket> requests;
        NetPacket word;
        std::vector<NetPacket> answers;
    } cases[] = {
        {"extended",
         true,
         {SelectRequest(1)},
         SelectWord(INPUT_LEFT, 1),
         {SelectWord(INPUT_Z, 1)}},
        {"plain", false, {{NT_COMMAND_WRECK, 0, 0}}, {NT_COMMAND_INPUT, INPUT_LEFT, 0x5555}, {SelectWord(INPUT_Z, 1)}},
    };
    for (const auto& c : cases) {
        Open(1, 0, c.extended);
        netSelectLocalInput = netSelectPreviousInput = c.extended ? INPUT_ALL_BUTTONS : 0;
        zPressed = true;
        SendSelectInput();
        EXPECT_EQ(inputWords[1], 0) << c.name << ": the local word waits for the peer's";
        for (const NetPacket& request : c.requests) Deliver(request);
        Deliver({NT_COMMAND_START, 0, 0});
        Deliver({4, 4, 4});
        Deliver(c.word, 2500);
        const size_t before = net().sent.size();
        ReceiveSelectInput();
        EXPECT_EQ(inputWords[0], INPUT_LEFT) << c.name;
        EXPECT_EQ(inputWords[1], INPUT_Z) << c.name;
        EXPECT_EQ(Sent(before), c.answers) << c.name;
        EXPECT_EQ(netConnected, 1) << c.name;
        zPressed = false;
        NetClose();
        net().nowMs = 0;
    }
}

// Both words of period 1 were lost, and the peer's of period 2 as well: the
// peer, a period ahead, asks for a word this side cannot send yet, while this
// side waits for the peer's word of period 1. A request that comes soon is
// only answered; one that comes once this side's word is overdue is answered
// and asked back, once a try, which frees both before either wait runs out.
TEST_F(NetSelectAndStart, AStuckPeersRequestIsAskedBackOnceTheWordIsOverdue) {
    Open(0, 0, true);
    SendSelectInput();
    Deliver(SelectRequest(2), 100);
    Deliver(SelectRequest(2), 1500);
    Deliver(SelectRequest(2), 1600);
    net().onSend = [this](const test::SentDatagram& d) {
        if (DecodeNetPacket(d.bytes.data()).frame != NT_COMMAND_WRECK) return;
        Deliver(SelectWord(INPUT_LEFT, 1), 20);
    };
    ReceiveSelectInput();
    EXPECT_EQ(inputWords[1], INPUT_LEFT);
    EXPECT_EQ(netConnected, 1);
    EXPECT_EQ(net().nowMs, 1520u);
    EXPECT_EQ(SentCommands(NT_COMMAND_WRECK), std::vector<NetPacket>(1, SelectRequest(1)));
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
        {"the peer's sample of frame 0", {Plain(0, 0x10), Plain(0, 0x10)}, 2000, 0},
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
        EXPECT_EQ(static_cast<int>(SentCommands(NT_COMMAND_INPUT).size()), c.selectRequests) << c.name;
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
        if (DecodeNetPacket(d.bytes.data()).frame != NT_COMMAND_INPUT) return;
        Deliver({NT_COMMAND_START, 0, 0}, 50);
        Deliver({NT_COMMAND_START, 0, 0}, 82);
    };
    const size_t before = net().sent.size();
    int pumps = 0;
    EXPECT_TRUE(RunStartHandshake([&pumps] { return ++pumps < 100; }));
    std::vector<NetPacket> answers;
    for (const NetPacket& p : Sent(before)) {
        if (p.frame == NT_COMMAND_INPUT) answers.push_back(p);
    }
    EXPECT_EQ(answers, (std::vector<NetPacket>{SelectWord(INPUT_Z, 1)}));
}

// The packets this side sent in each second of the fake clock.
std::vector<int> SentPerSecond(const test::FakeNetwork& net) {
    std::vector<int> counts;
    for (const test::SentDatagram& d : net.sent) {
        if (counts.size() <= d.timeMs / 1000) counts.resize(d.timeMs / 1000 + 1);
        ++counts[d.timeMs / 1000];
    }
    return counts;
}

// A peer whose periods are two or more apart from this side's (it left its
// screen or restarted and came back while this side waited): it answers
// every packet of this side's with two words of its later periods and a
// request of its own, as a flooding exchange did. This side asks at once
// once a try, besides the time-out's request, so the traffic stays at a few
// packets instead of doubling, and the wait ends after its three tries.
TEST_F(NetSelectAndStart, APeerPeriodsApartGetsNoStormOfAnswers) {
    Open(0, 0, true);
    SendSelectInput();
    const size_t before = net().sent.size();
    int peerSent = 0;
    net().onSend = [this, &peerSent](const test::SentDatagram& d) {
        if (DecodeNetPacket(d.bytes.data()).frame != NT_COMMAND_WRECK) return;
        Deliver(SelectWord(INPUT_A, 6), 5);
        Deliver(SelectWord(INPUT_A, 7), 5);
        Deliver(SelectRequest(5), 5);
        peerSent += 3;
    };
    Deliver(SelectRequest(5), 10);
    ReceiveSelectInput();
    EXPECT_EQ(netConnected, 0);
    EXPECT_EQ(net().nowMs, 9000u) << "three tries, each to its deadline";
    // The first try's time-out asks; the second try asks at once for the
    // later words that answer it, and at its time-out; the third try asks at
    // once, and gives up at its time-out. None of the peer's five requests,
    // for a period this side has not reached, is answered.
    std::vector<uint64_t> times;
    for (size_t i = before; i < net().sent.size(); ++i) {
        if (DecodeNetPacket(net().sent[i].bytes.data()).frame == NT_COMMAND_WRECK) times.push_back(net().sent[i].timeMs);
    }
    EXPECT_EQ(times, (std::vector<uint64_t>{3000, 3005, 6000, 6005}));
    EXPECT_EQ(SentCommands(NT_COMMAND_INPUT).size(), 1u);
    EXPECT_EQ(peerSent, 12);
}

// The peer's connect packets in either form, and its announcement learned
// from them when this side connected on its first word: only another
// announcement is a game started anew.
TEST_F(NetSelectAndStart, AConnectPacketOfAPeerStartedAnewEndsTheSelectWait) {
    const NetPacket first = ConnectPacket(1, 0, 0x101, 0), second = ConnectPacket(1, 0, 0x101, 1);
    const NetPacket anew = ConnectPacket(1, 0, 0x102, 0), anewSecond = ConnectPacket(1, 0, 0x102, 1);
    const std::optional<uint16_t> known = ConnectAnnouncement(1, 0, 0x101);
    const struct {
        const char* name;
        int periods;  // words this side has sent
        std::optional<uint16_t> announcement;  // as this side knows it
        std::vector<NetPacket> connects;       // at 100, 200 and 300 ms
        uint64_t restartedAtMs;                // 0: the wait takes the word at 2000 ms
        size_t answers;
    } cases[] = {
        {"started anew", 1, known, {anew}, 100, 0},
        {"started anew, its second form", 1, known, {anewSecond}, 100, 0},
        {"started anew, periods on", 4, known, {anew}, 100, 0},
        {"still connecting", 1, known, {first, second, first}, 0, 3},
        {"a late copy", 4, known, {second}, 0, 0},
        {"a damaged announcement", 4, known, {Damaged(anew, 0, 0x0004)}, 0, 0},
        {"its two forms, connected on its first word", 4, std::nullopt, {second, first, second}, 0, 0},
        {"started anew after its forms, connected on its first word", 4, std::nullopt, {second, first, anewSecond},
         300, 0},
    };
    for (const auto& c : cases) {
        Open(0, 0, true);
        netPeerAnnouncement = c.announcement;
        for (int period = 0; period < c.periods; ++period) SendSelectInput();
        const size_t before = net().sent.size();
        for (size_t i = 0; i < 3; ++i) Deliver(c.connects[i % c.connects.size()], 100 * (i + 1));
        Deliver(SelectWord(0, static_cast<uint16_t>(c.periods)), 2000);
        ReceiveSelectInput();
        const bool restarted = c.restartedAtMs != 0;
        EXPECT_EQ(netSelectPeerRestarted, restarted) << c.name;
        EXPECT_EQ(netConnected, restarted ? 0 : 1) << c.name;
        EXPECT_EQ(net().nowMs, restarted ? c.restartedAtMs : 2000u) << c.name;
        EXPECT_EQ(Sent(before).size(), c.answers) << c.name;
        NetClose();
        net().nowMs = 0;
        net().sent.clear();
    }
}

// A plain peer takes any select word for the one it waits for: one still
// connecting is answered with a connect packet instead, which it looks for.
TEST_F(NetSelectAndStart, APlainPeerStillConnectingIsAnsweredWithAConnectPacket) {
    Open(0, 0);
    SendSelectInput();
    const size_t before = net().sent.size();
    Deliver({NT_COMMAND_CONNECT, 0, 0}, 100);
    Deliver({NT_COMMAND_INPUT, INPUT_UP, 0}, 200);
    ReceiveSelectInput();
    EXPECT_EQ(inputWords[1], INPUT_UP);
    ASSERT_EQ(Sent(before).size(), 1u);
    EXPECT_EQ(Sent(before).front().frame, NT_COMMAND_CONNECT);
    EXPECT_EQ(Sent(before).front().value, 0);
}

// The handshake's peer is lost (killed after both decided, or its packets
// stop): after 11 seconds without its start packet the handshake gives it up,
// however many other packets come, and the battle starts disconnected. The
// start packets go every 32 ms, answers only to requests: one word each.
TEST_F(NetSelectAndStart, TheHandshakeGivesUpAfterElevenSecondsWithoutTheStartPacket) {
    const struct {
        const char* name;
        NetPacket packet;  // every `everyMs`; none when 0
        uint64_t everyMs;
        size_t answers;
    } cases[] = {
        {"silence", {}, 0, 0},
        {"the peer's connect packets of the same session", ConnectPacket(1, 0, 0x101, 1), 16, 0},
        {"requests for the last select word", SelectRequest(1), 100, 109},
        {"late battle packets", {0, 4, 4}, 50, 0},
    };
    for (const auto& c : cases) {
        Open(0, 0, true);
        netPeerAnnouncement = ConnectAnnouncement(1, 0, 0x101);
        SendSelectInput();
        net().sent.clear();
        if (c.everyMs != 0) {
            for (uint64_t t = c.everyMs; t < 60000; t += c.everyMs) Deliver(c.packet, t);
        }
        testing::internal::CaptureStderr();
        EXPECT_FALSE(RunStartHandshake([] { return true; })) << c.name;
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(netConnected, 0) << c.name;
        EXPECT_FALSE(NetIsOpen()) << c.name;
        EXPECT_GE(net().nowMs, NET_HANDSHAKE_SILENCE_MS) << c.name;
        EXPECT_LT(net().nowMs, NET_HANDSHAKE_SILENCE_MS + NET_HANDSHAKE_PAUSE_MS) << c.name;
        EXPECT_EQ(SentCommands(NT_COMMAND_INPUT).size(), c.answers) << c.name;
        for (const int count : SentPerSecond(net())) {
            EXPECT_LE(count, 32 + static_cast<int>(c.answers / 11 + 1)) << c.name;
        }
        net().nowMs = 0;
        net().sent.clear();
    }
}

// A peer that comes back (its game started anew) while this side waits in
// the start handshake gets no match from it now: the handshake gives up at
// once, and the peer keeps looking until this side is on its select screen
// again. The same session's connect packet changes nothing.
TEST_F(NetSelectAndStart, TheHandshakeGivesUpOnAPeerStartedAnew) {
    for (const bool anew : {true, false}) {
        Open(0, 0, true);
        netPeerAnnouncement = ConnectAnnouncement(1, 0, 0x101);
        Deliver(ConnectPacket(1, 0, anew ? 0x102 : 0x101, 1), 500);
        Deliver({NT_COMMAND_START, 0, 0}, 700);
        Deliver({NT_COMMAND_START, 0, 0}, 732);
        EXPECT_EQ(RunStartHandshake([] { return true; }), !anew) << anew;
        EXPECT_EQ(net().nowMs, anew ? 500u : 732u) << anew;
        EXPECT_EQ(NetIsOpen(), !anew) << anew;
        NetClose();
        net().nowMs = 0;
    }
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

// Period 2 of the select exchange with an extended peer: this side has sent
// INPUT_Z, the peer's INPUT_LEFT is awaited. The peer answers a request with
// the word of the period it names, as this side does.

TEST_F(NetSelectAndStart, ALostOrDamagedSelectWordIsAskedForAgain) {
    const NetPacket peerWord2 = SelectWord(INPUT_LEFT, 2), peerWord3 = SelectWord(INPUT_UP, 3);
    const struct {
        const char* name;
        std::vector<NetPacket> arrive;  // at once, before any request
        std::vector<NetPacket> answer;  // the peer's answer to a request
        uint64_t waitedMs;
    } cases[] = {
        {"lost, the peer silent", {}, {peerWord2}, 3000},
        {"lost, the peer a period ahead", {peerWord3}, {peerWord2}, 0},
        {"the word damaged", {Damaged(peerWord2, 0x40, 0)}, {peerWord2}, 0},
        {"the copy damaged", {Damaged(peerWord2, 0, 0x100)}, {peerWord2}, 0},
        // Period 3's tag with its lowest bit flipped is period 2's without the
        // doubled byte.
        {"the next period's word damaged", {Damaged(peerWord3, 0, 1)}, {peerWord2}, 0},
        // Each of them asks at once, but a try asks once.
        {"several damaged words", {Damaged(peerWord2, 0x40, 0), Damaged(peerWord2, 0, 0x100), peerWord3},
         {peerWord2}, 0},
        {"late duplicates of earlier words first", {SelectWord(INPUT_A, 1), SelectWord(0, 0), peerWord2}, {}, 0},
    };
    for (const auto& c : cases) {
        Open(0, 0, true);
        zPressed = false;
        SendSelectInput();
        Deliver(SelectWord(INPUT_A, 1));
        ReceiveSelectInput();
        zPressed = true;
        SendSelectInput();
        zPressed = false;
        for (const NetPacket& p : c.arrive) Deliver(p);
        net().onSend = [this, &c](const test::SentDatagram& d) {
            if (DecodeNetPacket(d.bytes.data()) != SelectRequest(2)) return;
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

// A request is answered with one word, the one of the period it names,
// whichever comes: this side has the words of this period and of the one
// before. A request for a later period gets nothing: this side sends that
// word unasked once it gets there.
TEST_F(NetSelectAndStart, ARequestIsAnsweredWithTheWordOfThePeriodItNames) {
    const struct {
        const char* name;
        bool extended;
        NetPacket request;
        std::vector<NetPacket> answers;
    } cases[] = {
        {"this period", true, SelectRequest(2), {SelectWord(INPUT_Z, 2)}},
        {"the period before", true, SelectRequest(1), {SelectWord(INPUT_A, 1)}},
        {"the next period", true, SelectRequest(3), {}},
        {"two periods back: a late copy", true, SelectRequest(0), {}},
        {"a damaged tag", true, Damaged(SelectRequest(2), 0, 0x0100), {}},
        {"a plain peer's request", false, {NT_COMMAND_WRECK, 0, 0}, {SelectWord(INPUT_Z, 2)}},
    };
    for (const auto& c : cases) {
        Open(1, 0, c.extended);
        SetKeyStateSource([](int key) -> int16_t { return key == 'A' ? -128 : 0; });
        SendSelectInput();  // period 1: INPUT_A
        Deliver(SelectWord(0, 1));
        ReceiveSelectInput();
        SetKeyStateSource([](int key) -> int16_t { return key == 'Z' ? -128 : 0; });
        SendSelectInput();  // period 2: INPUT_Z
        SetKeyStateSource(nullptr);
        const size_t before = net().sent.size();
        Deliver(c.request);
        Deliver(SelectWord(INPUT_LEFT, 2), 100);
        ReceiveSelectInput();
        EXPECT_EQ(inputWords[0], INPUT_LEFT) << c.name;
        EXPECT_EQ(Sent(before), c.answers) << c.name;
        NetClose();
        net().nowMs = 0;
        net().sent.clear();
    }
}

// The other machine's select screen as this game runs it, at the far end of
// a link that delays each datagram by kLinkMs and loses those that `lose`
// picks (given the packet, which way it goes and how many copies of it went
// that way before). It sends its word of a period on entering it and enters
// the next as soon as it has this side's word of its period, kept when it
// came a period early. It asks for that word at once when a later one shows
// it lost, or when this side's request comes and it has waited a while, and
// again at the end of each 3-second try; it answers a request with its word
// of the period the request names.
class LinkedSelectPeer {
public:
    static constexpr uint64_t kLinkMs = 20;
    using Loss = std::function<bool(const NetPacket& packet, bool toPeer, int copy)>;

    LinkedSelectPeer(test::FakeNetwork& net, Loss lose) : net_(net), lose_(std::move(lose)) {
        net_.onSend = [this](const test::SentDatagram& d) { Hear(DecodeNetPacket(d.bytes.data())); };
    }
    ~LinkedSelectPeer() { net_.onSend = nullptr; }

    static InputWord Word(uint16_t period) { return static_cast<InputWord>(0x100 | (period & 0xFF)); }
    void Start() { Enter(net_.nowMs); }
    // This side's words as the peer took them, from period 1 on.
    const std::vector<InputWord>& taken() const { return taken_; }

private:
    // Sent by the peer at `atMs`, which is now or later.
    void Send(const NetPacket& packet, uint64_t atMs) {
        if (lose_(packet, false, copies_[{false, Bytes(packet)}]++)) return;
        net_.Deliver(Bytes(packet), test::FakePeer(), atMs + kLinkMs - net_.nowMs);
    }
    void Enter(uint64_t atMs) {
        // The tries of the period left are over: their requests are not sent.
        const std::vector<uint8_t> timedOut = Bytes(SelectRequest(period_));
        std::erase_if(net_.inbox, [&](const test::FakeDatagram& d) {
            return d.bytes == timedOut && d.arrivalMs > atMs + kLinkMs;
        });
        ++period_;
        enteredMs_ = atMs;
        askedBack_ = false;
        Send(SelectWord(Word(period_), period_), atMs);
        for (uint64_t t = NET_SELECT_WAIT_MS; t < NET_SELECT_WAIT_MS * NET_SELECT_TIMEOUTS; t += NET_SELECT_WAIT_MS) {
            Send(SelectRequest(period_), atMs + t);
        }
        if (!ahead_) return;
        taken_.push_back(*std::exchange(ahead_, std::nullopt));
        Enter(atMs);
    }
    void AskBack(uint64_t atMs) {
        if (!askedBack_) Send(SelectRequest(period_), atMs);
        askedBack_ = true;
    }
    void Hear(const NetPacket& packet) {
        if (lose_(packet, true, copies_[{true, Bytes(packet)}]++)) return;
        const uint64_t atMs = net_.nowMs + kLinkMs;
        const auto tag = static_cast<uint16_t>(packet.frame == NT_COMMAND_INPUT ? packet.value ^ packet.valueCopy
                                                                                : packet.valueCopy);
        const auto ahead = static_cast<int8_t>(static_cast<uint8_t>(tag - period_));
        if (packet.frame == NT_COMMAND_INPUT && ahead == 0) {
            taken_.push_back(packet.value);
            Enter(atMs);
        } else if (packet.frame == NT_COMMAND_INPUT && ahead == 1) {
            ahead_ = packet.value;
            AskBack(atMs);
        } else if (packet.frame == NT_COMMAND_WRECK && (ahead == 0 || ahead == -1)) {
            const auto period = static_cast<uint16_t>(period_ + ahead);
            Send(SelectWord(Word(period), period), atMs);
            if (atMs - enteredMs_ >= 500) AskBack(atMs);
        }
    }

    test::FakeNetwork& net_;
    Loss lose_;
    std::map<std::pair<bool, std::vector<uint8_t>>, int> copies_;
    uint16_t period_ = 0;
    uint64_t enteredMs_ = 0;
    bool askedBack_ = false;
    std::optional<InputWord> ahead_;  // this side's word of the next period
    std::vector<InputWord> taken_;
};

// Two machines on the select screen through a lossy link, this side running
// up to `periods` periods as the screen does, a frame from its send to its
// wait and a frame to the next send, its word changing with the period.
struct LinkedRun {
    int periods = 0;   // periods this side took the peer's word of, still connected
    int requests = 0;  // this side's requests
    uint64_t elapsedMs = 0;
};

class LinkedSelectScreens : public NetSelectAndStart {
protected:
    static constexpr uint64_t kFrameMs = 16;

    LinkedRun Run(int periods, LinkedSelectPeer::Loss lose) {
        Open(0, 0, true);
        LinkedSelectPeer peer(net(), std::move(lose));
        peer.Start();
        std::vector<InputWord> sent;
        LinkedRun run;
        for (uint16_t period = 1; period <= periods && netConnected; ++period) {
            zPressed = period % 3 == 0;
            SendSelectInput();
            sent.push_back(netSelectLocalInput);
            net().nowMs += kFrameMs;
            ReceiveSelectInput();
            if (netConnected) {
                EXPECT_EQ(inputWords[1], LinkedSelectPeer::Word(period)) << "period " << period;
                ++run.periods;
            }
            net().nowMs += kFrameMs;
        }
        zPressed = false;
        // The peer sent its word of the last period taken here once it had
        // this side's word of the period before.
        const auto had = static_cast<size_t>(std::max(run.periods - 1, 0));
        EXPECT_GE(peer.taken().size(), had);
        EXPECT_TRUE(std::equal(sent.begin(), sent.begin() + static_cast<ptrdiff_t>(std::min(had, peer.taken().size())),
                               peer.taken().begin()))
            << "the peer took this side's words";
        run.requests = static_cast<int>(SentCommands(NT_COMMAND_WRECK).size());
        run.elapsedMs = net().nowMs;
        NetClose();
        net().nowMs = 0;
        net().sent.clear();
        net().inbox.clear();
        return run;
    }
};

// One word of period 3 lost on the way, or both: the side that misses a word
// asks for it once, and both go on in step. The peer's next word, which shows
// the loss, is kept for its period; were it dropped, that side would have to
// ask for it too, and then for every word after it, a period behind for good:
// each period waiting for a request and its answer, and each loss of one of
// them costing a 3-second try. With both words lost both tries run out; this
// side asks at the end of its first and on the peer's requests, once a try.
TEST_F(LinkedSelectScreens, ALostWordIsAskedForOnceAndBothGoOnInStep) {
    constexpr uint64_t kInStepMs = 40 * 2 * kFrameMs, kRoundTripMs = 2 * LinkedSelectPeer::kLinkMs;
    const struct {
        const char* name;
        std::vector<bool> lostToPeer;  // the first copy of this side's word (true) or of the peer's
        int requests;
        uint64_t atMostMs;
    } cases[] = {
        {"nothing lost", {}, 0, kInStepMs + kRoundTripMs},
        {"the peer's word", {false}, 1, kInStepMs + 2 * kRoundTripMs},
        {"this side's word", {true}, 0, kInStepMs + 2 * kRoundTripMs},
        {"both words", {false, true}, 3, kInStepMs + NET_SELECT_WAIT_MS + 2 * kRoundTripMs},
    };
    for (const auto& c : cases) {
        const LinkedRun run = Run(40, [&c](const NetPacket& p, bool toPeer, int copy) {
            const bool listed = std::find(c.lostToPeer.begin(), c.lostToPeer.end(), toPeer) != c.lostToPeer.end();
            return listed && copy == 0 && p.frame == NT_COMMAND_INPUT && (p.value ^ p.valueCopy) == 0x0303;
        });
        EXPECT_EQ(run.periods, 40) << c.name;
        EXPECT_EQ(run.requests, c.requests) << c.name;
        EXPECT_LE(run.elapsedMs, c.atMostMs) << c.name;
    }
}

// Every tenth datagram lost either way, picked by a fixed seed: the screens
// stay connected and in step for 300 periods.
TEST_F(LinkedSelectScreens, ALossyLinkKeepsBothInStep) {
    std::mt19937 random(51);
    const LinkedRun run = Run(300, [&random](const NetPacket&, bool, int) { return random() % 10 == 0; });
    EXPECT_EQ(run.periods, 300);
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
    const std::vector<NetPacket> last = {Plain(4, LocalWord(4)), Plain(2, LocalWord(2))};
    EXPECT_EQ(SentAt(net(), 0), last);
    EXPECT_EQ(SentAt(net(), NET_BATTLE_WAIT_MS), last);
    EXPECT_EQ(net().sent.size(), 4u);
}

TEST_F(BattleEndWait, TheLastRequestsAreAnsweredUntilThePeerIsSatisfied) {
    Deliver({NT_COMMAND_WRECK, 4, 0}, 300);
    Deliver({NT_COMMAND_BROKEN, 2, 0}, 1300);
    Deliver({NT_COMMAND_WRECK, 6, 0}, 1400);  // never sampled: not answered
    EXPECT_EQ(Wait(), 1300 + NET_END_SILENCE_MS);
    EXPECT_EQ(SentAt(net(), 300), (std::vector<NetPacket>{Plain(4, LocalWord(4))}));
    EXPECT_EQ(SentAt(net(), 1300), (std::vector<NetPacket>{Plain(2, LocalWord(2))}));
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
