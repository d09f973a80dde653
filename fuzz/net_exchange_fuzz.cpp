// Network play fed whatever a peer (or anyone else) sends: the select
// screen's connect and word exchange, the start handshake and the battle's
// input exchange, over a fake socket whose clock only moves when a wait runs
// out, so time-outs cost nothing.
#include <cstring>
#include <vector>

#include "engine/devices/network.h"
#include "fuzz/fuzz_support.h"
#include "game/flow/net_exchange.h"
#include "game/flow/save_files.h"
#include "tests/support/fake_transport.h"

namespace {

constexpr int32_t kBattleFrames = 48;

// The word this machine samples on a battle frame.
InputWord LocalWord(int32_t frame) { return static_cast<InputWord>((frame * 0x9E37) & 0x07FF); }

// The datagrams of the input: each a header byte (bits 0-2 the length, bit 3
// sent from a stranger's address, bits 4-7 the arrival in quarter seconds),
// then its bytes.
void DeliverDatagrams(test::FakeNetwork& network, const uint8_t* data, size_t size) {
    const platform::Ipv4Endpoint stranger{platform::ParseIpv4Address("10.0.0.9"), test::kFakePort};
    size_t at = 0;
    while (at < size) {
        const uint8_t header = data[at++];
        const size_t length = std::min<size_t>(header & 7, size - at);
        network.Deliver({data + at, data + at + length}, (header & 8) ? stranger : test::FakePeer(),
                        (header >> 4) * 250u);
        at += length;
    }
}

// Kept packets: few, one per frame, all for frames after the one just
// exchanged and inside the frame window; each a sound data packet, or with no
// word (copies 0 and 1) when two packets claimed its frame with different words.
void CheckPending(int32_t exchanged) {
    FUZZ_CHECK(netPendingPackets.size() <= NET_PENDING_CAPACITY);
    const auto window = NET_FRAME_WINDOW_EXCHANGES * static_cast<int32_t>(netSendInterval);
    for (size_t i = 0; i < netPendingPackets.size(); ++i) {
        const NetPacket& p = netPendingPackets[i];
        InputWord word;
        FUZZ_CHECK(DataPacketWord(p, &word) || (p.value == 0 && p.valueCopy == 1));
        FUZZ_CHECK(p.frame > exchanged && p.frame <= exchanged + window);
        for (size_t k = 0; k < i; ++k) FUZZ_CHECK(netPendingPackets[k].frame != p.frame);
    }
}

// Every datagram this side sent is a whole packet, and every data packet, an
// answer to a resend request included, carries the word sampled on its frame.
void CheckSent(const test::FakeNetwork& network) {
    for (const test::SentDatagram& d : network.sent) {
        FUZZ_CHECK(d.bytes.size() == NET_PACKET_SIZE);
        const NetPacket p = DecodeNetPacket(d.bytes.data());
        if (p.frame >= 0) FUZZ_CHECK(p == DataPacket(p.frame, LocalWord(p.frame)));
    }
}

void RunBattle() {
    const auto interval = static_cast<int32_t>(netSendInterval);
    InputWord sample = 0;
    for (int32_t frame = 0; frame < kBattleFrames && NetIsOpen(); ++frame) {
        if (frame % interval == 0) SendInputSample(frame, sample = LocalWord(frame));
        if (frame % interval != interval - 1) continue;
        for (int side = 0; side < 2 && NetIsOpen(); ++side) {
            ExchangeNetInput(side, frame, sample);
            if (side == netLocalSide) FUZZ_CHECK(inputWords[side] == sample);
            else if (NetIsOpen()) CheckPending(frame - interval + 1);
        }
    }
}

}  // namespace

// The first byte: bit 0 this machine's side, bit 1 the slow line, bit 2 the
// decide key held on the select screen, bit 3 the item under the cursor
// locked. The rest: the datagrams that arrive.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t flags = data[0];
    test::FakeTransport transport;
    test::FakeNetwork& network = transport.network();
    std::memset(&config, 0, sizeof config);
    std::strcpy(config.peerHost, "127.0.0.1");
    config.port = test::kFakePort;
    config.localSide = flags & 1;
    config.slowLine = (flags >> 1) & 1;
    FUZZ_CHECK(NetOpen());
    DeliverDatagrams(network, data + 1, size - 1);
    static bool decideHeld;
    decideHeld = (flags & 4) != 0;
    SetKeyStateSource([](int key) -> int16_t { return decideHeld && key == 'Z' ? -128 : 0; });

    for (int poll = 0; poll < 4 && PollNetConnect() != NetConnect::CONNECTED; ++poll) {
    }
    netConnected = 1;
    const bool locked = (flags & 8) != 0;
    const bool refused = SendSelectInput([locked](InputWord, InputWord) { return locked; });
    FUZZ_CHECK(refused == (decideHeld && (flags & 8)));
    ReceiveSelectInput();
    FUZZ_CHECK(inputWords[netLocalSide] == netSelectLocalInput);

    int pumps = 0;
    if (RunStartHandshake([&pumps] { return ++pumps < 32; })) {
        FUZZ_CHECK(netPendingPackets.empty() && netSentSamples.empty());
    }
    if (NetIsOpen()) {
        netConnected = 1;
        RunBattle();
    }
    CheckSent(network);
    SetKeyStateSource(nullptr);
    return 0;
}

namespace {

// A datagram of the input format: a whole packet from the peer.
void AddPacket(std::vector<uint8_t>& input, const NetPacket& packet, uint8_t quarterSeconds = 0,
               bool stranger = false) {
    uint8_t bytes[NET_PACKET_SIZE];
    EncodeNetPacket(packet, bytes);
    input.push_back(static_cast<uint8_t>(NET_PACKET_SIZE | (stranger ? 8 : 0) | quarterSeconds << 4));
    input.insert(input.end(), bytes, bytes + NET_PACKET_SIZE);
}

InputWord PeerWord(int32_t frame) { return static_cast<InputWord>(frame * 7 + 1); }

}  // namespace

void WriteFuzzSeeds(fuzz::Seeds& seeds) {
    for (uint8_t flags : {0, 3}) {
        const int16_t interval = (flags & 2) ? 3 : 2;
        // A sound peer: connect (both forms), one select word, the handshake,
        // then every sample.
        std::vector<uint8_t> clean{flags};
        for (int form = 0; form < NET_CONNECT_FORMS; ++form) {
            AddPacket(clean, ConnectPacket(1 - (flags & 1), (flags >> 1) & 1, 0x1234, form));
        }
        AddPacket(clean, {NT_COMMAND_INPUT, 0x0010, 0});
        AddPacket(clean, {NT_COMMAND_START, 0, 0});
        AddPacket(clean, {NT_COMMAND_START, 0, 0});
        for (int16_t f = 0; f < kBattleFrames; f += interval) AddPacket(clean, DataPacket(f, PeerWord(f)));
        seeds.Add("clean_" + std::to_string(flags), clean);

        // A lossy line: a stranger's packet, a late select word after a resend
        // request, the peer's own resend requests, unequal copies, damaged
        // frame numbers, samples early, twice and lost.
        std::vector<uint8_t> lossy{static_cast<uint8_t>(flags | 4 | 8)};
        AddPacket(lossy, {NT_COMMAND_CONNECT, 0, 0}, 0, true);
        AddPacket(lossy, {NT_COMMAND_CONNECT, 0, 0});
        AddPacket(lossy, {NT_COMMAND_WRECK, 0, 0});
        AddPacket(lossy, {NT_COMMAND_INPUT, 0x0003, 0}, 14);
        AddPacket(lossy, {NT_COMMAND_START, 0, 0});
        AddPacket(lossy, {5, 1, 1});
        AddPacket(lossy, {NT_COMMAND_START, 0, 0});
        for (int16_t f = 0; f < kBattleFrames; f += interval) {
            if (f % 5 == 1) continue;
            const NetPacket sample = DataPacket(f, PeerWord(f));
            if (f % 7 == 2) AddPacket(lossy, {f, sample.value, static_cast<uint16_t>(sample.value ^ 4)});
            if (f % 9 == 4) AddPacket(lossy, {static_cast<int16_t>(f ^ 2), sample.value, sample.valueCopy});
            AddPacket(lossy, sample, f % 3 == 0 ? 4 : 0);
            if (f % 4 == 0) AddPacket(lossy, {NT_COMMAND_WRECK, static_cast<uint16_t>(f), 0});
            if (f % 6 == 0) AddPacket(lossy, {NT_COMMAND_BROKEN, static_cast<uint16_t>(f + 40), 0});
        }
        lossy.push_back(3);  // a cut datagram
        lossy.insert(lossy.end(), {1, 2, 3});
        seeds.Add("lossy_" + std::to_string(flags), lossy);
    }
}
