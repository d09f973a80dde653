#include "game/flow/net_exchange.h"

#include "game/flow/replay_file.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <optional>
#include <random>
#include <utility>

#include "engine/core/log.h"
#include "engine/devices/network.h"
#include "game/flow/save_files.h"
#include "platform/little_endian.h"

std::vector<NetPacket> netPendingPackets;
std::map<int32_t, InputWord> netSentSamples;
InputWord netSelectLocalInput;
bool netSelectPeerLeft;
bool netSelectPeerRestarted;
bool netPeerRefused;
bool netPeerExtended;
uint16_t netGameTag;
std::optional<uint16_t> netPeerAnnouncement;
uint16_t netSelectPeriod;

namespace {

// The peer's words taken in the running battle, by the frame they were
// sampled on: a late duplicate is told from a damaged packet by them.
std::map<int32_t, InputWord> netReceivedSamples;

}  // namespace

InputWord netSelectPreviousInput;

void EncodeNetPacket(const NetPacket& packet, uint8_t bytes[NET_PACKET_SIZE]) {
    const uint16_t fields[3] = {static_cast<uint16_t>(packet.frame), packet.value, packet.valueCopy};
    for (int i = 0; i < 3; ++i) platform::WriteLe16(bytes + 2 * i, fields[i]);
}

NetPacket DecodeNetPacket(const uint8_t bytes[NET_PACKET_SIZE]) {
    auto field = [bytes](int i) { return platform::ReadLe16(bytes + 2 * i); };
    return {static_cast<int16_t>(field(0)), field(1), field(2)};
}

namespace {

constexpr int kFrameCheckShift = 11;  // above the word's highest button

// Bit k of the frame field adds k + 1: sixteen distinct values other than 0,
// so that one or two damaged bits always change the check.
uint16_t FrameCheck(int16_t frame) {
    const auto bits = static_cast<uint16_t>(frame);
    uint16_t check = 0;
    for (uint16_t bit = 0; bit < 16; ++bit) {
        if (bits >> bit & 1) check ^= static_cast<uint16_t>(bit + 1);
    }
    return check;
}

// Equal copies from an extended peer whose check does not fit the frame
// field: that field was damaged. A check of 0 is a plain word: a peer whose
// copy field only happened to look like an announcement still plays.
bool FrameFieldDamaged(const NetPacket& packet) {
    const auto check = static_cast<uint16_t>(packet.value >> kFrameCheckShift);
    return netPeerExtended && packet.value == packet.valueCopy && check != 0 && check != FrameCheck(packet.frame);
}

}  // namespace

NetPacket DataPacket(int32_t frame, InputWord word) {
    const auto framed = static_cast<int16_t>(frame);
    if (!netPeerExtended) return {framed, word, word};
    const auto value = static_cast<uint16_t>((word & INPUT_ALL_BUTTONS) | FrameCheck(framed) << kFrameCheckShift);
    return {framed, value, value};
}

bool DataPacketWord(const NetPacket& packet, InputWord* word) {
    if (packet.value != packet.valueCopy || FrameFieldDamaged(packet)) return false;
    *word = netPeerExtended ? packet.value & INPUT_ALL_BUTTONS : packet.value;
    return true;
}

void SendNetPacket(const NetPacket& packet) {
    uint8_t bytes[NET_PACKET_SIZE];
    EncodeNetPacket(packet, bytes);
    NetSend(bytes, NET_PACKET_SIZE);
}

namespace {

// Reads one packet before the deadline that *remainingMs counts down.
bool ReceiveNetPacket(NetPacket* packet, uint32_t* remainingMs) {
    uint8_t bytes[NET_PACKET_SIZE];
    const bool read = NetReceiveWithin(bytes, NET_PACKET_SIZE, remainingMs);
    *packet = DecodeNetPacket(bytes);
    return read;
}

bool PollNetPacket(NetPacket* packet) {
    uint8_t bytes[NET_PACKET_SIZE];
    const bool read = NetReceive(bytes, NET_PACKET_SIZE, 1);
    *packet = DecodeNetPacket(bytes);
    return read;
}

int RemoteSide() { return 1 - netLocalSide; }

bool IsResendRequest(const NetPacket& packet) {
    return packet.frame == NT_COMMAND_WRECK || packet.frame == NT_COMMAND_BROKEN;
}

// Whether a data packet's frame can be that of a sound peer while the word of
// frame `expected` is awaited: a sampling frame, not older, and at most
// NET_FRAME_WINDOW_EXCHANGES exchanges ahead.
bool InFrameWindow(int32_t frame, int32_t expected) {
    const int32_t interval = static_cast<int32_t>(netSendInterval);
    return frame % interval == 0 && frame >= expected && frame <= expected + NET_FRAME_WINDOW_EXCHANGES * interval;
}

// A resend request (WRECK or BROKEN) is answered with the word sampled on its
// frame; one for a frame not sampled (or not yet), and any other old packet or
// command, is ignored.
bool AnswerResendRequest(const NetPacket& packet) {
    if (!IsResendRequest(packet)) return false;
    const auto sample = netSentSamples.find(packet.value);
    if (sample == netSentSamples.end()) return false;
    SendNetPacket(DataPacket(packet.value, sample->second));
    return true;
}

// The peer waits for this side's last samples one exchange behind at most;
// the packets of the last two may have been lost before it could ask.
void ResendLastSamples() {
    auto sample = netSentSamples.rbegin();
    for (int n = 0; n < 2 && sample != netSentSamples.rend(); ++n, ++sample) {
        SendNetPacket(DataPacket(sample->first, sample->second));
    }
}

// Keeps a packet that came ahead of its frame, unless its copies differ or
// the list is full (the resend request recovers it). A second packet for a
// kept frame with another word means one of the two had its frame field
// damaged: the frame's entry then keeps no word (its copies made unequal),
// so no later copy of either is taken, and the frame is asked for when due.
void KeepPendingPacket(const NetPacket& packet) {
    InputWord word;
    if (!DataPacketWord(packet, &word)) return;
    const auto kept = std::find_if(netPendingPackets.begin(), netPendingPackets.end(),
                                   [&packet](const NetPacket& p) { return p.frame == packet.frame; });
    if (kept != netPendingPackets.end()) {
        if (kept->value != packet.value) *kept = {packet.frame, 0, 1};
        return;
    }
    if (netPendingPackets.size() >= NET_PENDING_CAPACITY) return;
    netPendingPackets.push_back(packet);
    WriteLog("PUSH\n");
}

// Takes the kept packet of `expected` into *word, dropping the kept packets
// that are older and can never be used.
bool TakePendingPacket(int32_t expected, InputWord* word) {
    std::erase_if(netPendingPackets, [expected](const NetPacket& p) { return p.frame < expected; });
    const auto kept = std::find_if(netPendingPackets.begin(), netPendingPackets.end(),
                                   [expected](const NetPacket& p) { return p.frame == expected; });
    if (kept == netPendingPackets.end()) return false;
    const bool usable = DataPacketWord(*kept, word);
    netPendingPackets.erase(kept);
    return usable;
}

// The period's tag: its low byte twice. Two tags differ in at least two bits,
// so no single damaged bit makes a word of one period pass for another's.
uint16_t SelectPeriodTag(uint16_t period) {
    const auto low = static_cast<uint16_t>(period & 0xFF);
    return static_cast<uint16_t>(low | low << 8);
}

NetPacket SelectInputPacket(InputWord word, uint16_t period) {
    return {NT_COMMAND_INPUT, word, static_cast<uint16_t>(word ^ SelectPeriodTag(period))};
}

// A word waited for this long is overdue: a sound line brings it far sooner.
constexpr uint32_t kSelectOverdueMs = 500;
// Late duplicates of the words of so many periods back are dropped quietly.
constexpr int kSelectStalePeriods = 8;

// How many periods after this side's running one a tag names: 0 for this
// period, 1 for the next, -1 for the one before (the tags wrap after 256
// periods, far more than two exchanges ever lie apart); nothing for a field
// that is not a tag.
std::optional<int> PeriodsAhead(uint16_t tag) {
    if ((tag & 0xFF) != tag >> 8) return std::nullopt;
    return static_cast<int8_t>(static_cast<uint8_t>(tag - netSelectPeriod));
}

// The same for the period an NT_COMMAND_INPUT packet was sent in.
std::optional<int> SelectPeriodsAhead(const NetPacket& packet) {
    return PeriodsAhead(static_cast<uint16_t>(packet.value ^ packet.valueCopy));
}

// This side's request for the peer's word of the running period.
void AskForSelectInput() { SendNetPacket({NT_COMMAND_WRECK, 0, SelectPeriodTag(netSelectPeriod)}); }

// Answers the peer's request for a select-screen word with one word: from an
// extended peer, the word of the period its tag names, this one or the one
// before (the peer may be a period behind: it lost this side's last word).
// A request for a later period gets nothing: this side has no word of it yet,
// and sends it unasked as soon as it has the peer's word of this period,
// which its wait asks for once overdue. A request for an older period is a
// late copy; a damaged one is sent again at the peer's next time-out. A plain
// peer takes any word, and gets this period's.
void AnswerSelectRequest(const NetPacket& request) {
    const std::optional<int> ahead = netPeerExtended ? PeriodsAhead(request.valueCopy) : 0;
    if (ahead == 0) SendNetPacket(SelectInputPacket(netSelectLocalInput, netSelectPeriod));
    if (ahead == -1) {
        SendNetPacket(SelectInputPacket(netSelectPreviousInput, static_cast<uint16_t>(netSelectPeriod - 1)));
    }
}

// An extended peer's connect packet with another announcement than the one
// that connected it: its game has started anew.
bool IsRestartedPeer(const NetPacket& packet);

enum class SelectWait { WORD, PEER_LEFT, PEER_RESTARTED, TIMED_OUT };

// The peer's word of the period after the running one, come while this side
// still waits for the running one's: the peer has this side's word and went
// on, and its word of the running period was lost. It is kept for its period:
// dropped, it would have to be asked for in turn, once that period came, and
// so would every word after it, the side that lost one word staying a period
// behind for good.
std::optional<NetPacket> selectWordAhead;

// Takes the kept word if it is the running period's. A plain peer's word
// names no period: one is kept only when it connected the peer, for the
// first period.
bool TakeSelectWordAhead(InputWord* word) {
    const std::optional<NetPacket> kept = std::exchange(selectWordAhead, std::nullopt);
    if (!kept || (netPeerExtended && SelectPeriodsAhead(*kept) != 0)) return false;
    *word = kept->value;
    return true;
}

// Waits for the peer's select-screen word in tries of NET_SELECT_WAIT_MS each;
// a try ends at its deadline however many other packets come in it, and
// sends one resend request at once at most, besides the one of its time-out.
// From an extended peer, a word of a later
// period means that the awaited one was lost, and a damaged one that it may
// have been: both are asked for at once. So is the word when the peer's own
// request comes once this side has waited a while: the peer is stuck too,
// maybe a period ahead and waiting for a word this side cannot send yet, so
// its own requests free nothing, while either side's request that gets
// through frees both. A peer that has not connected yet is sent this side's
// first word. Once the match is decided, the peer's start packet ends the
// wait too.
SelectWait WaitForSelectInput(InputWord* word, bool matchDecided) {
    if (TakeSelectWordAhead(word)) return SelectWait::WORD;
    for (int timeouts = 0;;) {
        uint32_t remaining = NET_SELECT_WAIT_MS;
        bool asked = false;
        const auto askOnce = [&asked] {
            if (!asked) AskForSelectInput();
            asked = true;
        };
        for (NetPacket packet; remaining > 0 && ReceiveNetPacket(&packet, &remaining);) {
            if (packet.frame == NT_COMMAND_INPUT) {
                const std::optional<int> ahead = netPeerExtended ? SelectPeriodsAhead(packet) : 0;
                if (ahead == 0) {
                    *word = packet.value;
                    return SelectWait::WORD;
                }
                if (ahead == 1 && !selectWordAhead) selectWordAhead = packet;
                if (!ahead || *ahead > 0 || *ahead < -kSelectStalePeriods) askOnce();
            } else if (packet.frame == NT_COMMAND_WRECK) {
                AnswerSelectRequest(packet);
                const bool overdue = timeouts > 0 || NET_SELECT_WAIT_MS - remaining >= kSelectOverdueMs;
                if (overdue && netPeerExtended) askOnce();
            } else if (packet.frame == NT_COMMAND_CONNECT) {
                if (IsRestartedPeer(packet)) return SelectWait::PEER_RESTARTED;
                // The peer may still be looking for this side: this side
                // connected on its connect packet, but every packet it read
                // from here was lost. An extended peer is connected by this
                // side's first word (requests do not connect), a plain one
                // only by a connect packet: a word would pass for its next
                // one. Neither starts an exchange of answers; connect packets
                // that come later are late copies.
                if (netSelectPeriod <= 1) {
                    if (netPeerExtended) SendNetPacket(SelectInputPacket(netSelectLocalInput, netSelectPeriod));
                    else SendConnectPacket();
                }
            } else if (packet.frame == NT_COMMAND_START && matchDecided) {
                return SelectWait::PEER_LEFT;
            }
        }
        if (++timeouts == NET_SELECT_TIMEOUTS) return SelectWait::TIMED_OUT;
        AskForSelectInput();
    }
}

bool IsCommand(const NetPacket& packet) {
    switch (packet.frame) {
    case NT_COMMAND_CONNECT:
    case NT_COMMAND_START:
    case NT_COMMAND_INPUT:
    case NT_COMMAND_WRECK:
    case NT_COMMAND_BROKEN: return true;
    default: return false;
    }
}

// A sound copy of a word this side has taken already: a late duplicate.
bool IsLateDuplicate(const NetPacket& packet) {
    InputWord word;
    const auto taken = netReceivedSamples.find(packet.frame);
    return DataPacketWord(packet, &word) && taken != netReceivedSamples.end() && taken->second == word;
}

void AskForDamagedFrame(int32_t expected) {
    SendNetPacket({NT_COMMAND_BROKEN, static_cast<uint16_t>(expected), 0});
    WriteLog("NT_COMMAND_BROKEN\n");
}

// The peer may still be in its start handshake, having missed every start
// packet of this side's: it is answered, unless its packet is an answer.
void AnswerStartPacket(const NetPacket& packet) {
    if (packet.value == 0 && packet.valueCopy == 0) SendNetPacket({NT_COMMAND_START, 0, NET_START_ANSWER});
}

// One packet read while the peer's word of frame `expected` is awaited: true
// when it is that word (in *word); else it is answered, kept or dropped. A
// damaged frame field (outside the window, an unknown command, a check that
// does not fit) may have been the awaited packet's, and a damaged word of the
// awaited frame is that packet's: the frame is asked for at once.
bool TakeBattlePacket(const NetPacket& packet, int32_t expected, InputWord* word) {
    if (packet.frame == NT_COMMAND_START) {
        AnswerStartPacket(packet);
    } else if (IsCommand(packet)) {
        AnswerResendRequest(packet);
    } else if (packet.frame < 0 || !InFrameWindow(packet.frame, expected) || FrameFieldDamaged(packet)) {
        if (!IsLateDuplicate(packet)) AskForDamagedFrame(expected);
    } else if (packet.frame > expected) {
        KeepPendingPacket(packet);
    } else if (DataPacketWord(packet, word)) {
        return true;
    } else {
        AskForDamagedFrame(expected);
    }
    return false;
}

// Two extended machines start the exchange as if every button had been held
// on both sides: a key held at the connection is a new press on neither
// machine. With a plain peer the words start at 0, as its screen starts them.
void StartSelectExchange() {
    const InputWord start = netPeerExtended ? INPUT_ALL_BUTTONS : 0;
    netSelectLocalInput = start;
    netSelectPreviousInput = start;
    netSelectPeriod = 0;
    selectWordAhead.reset();
    netSelectPeerLeft = false;
    netSelectPeerRestarted = false;
}

// The announcement in a connect packet's copy field: bits 0 to 11 (the
// side, the line and the game's tag), and in bits 12 to 15 a check of those,
// the XOR of their three nibbles and of the form's mark. Any one damaged bit
// of the field changes one bit of the check. An extended game's connect
// packets take the two forms in turn; the marks differ in every bit, so one
// 16-bit value never reads as both forms, and a peer whose copy field never
// changes (a plain one) never shows both.
constexpr uint16_t kAnnouncementBits = 0xFFF;
constexpr uint16_t kFormMarks[NET_CONNECT_FORMS] = {0xA, 0x5};

uint16_t AnnouncementCheck(uint16_t announcement, int form) {
    const auto told = static_cast<uint16_t>(announcement & kAnnouncementBits);
    return static_cast<uint16_t>(((told ^ told >> 4 ^ told >> 8) & 0xF) ^ kFormMarks[form]);
}

// The form a connect packet's copy field has, or none (a plain peer's field,
// or a damaged one).
std::optional<int> ConnectForm(uint16_t field) {
    for (int form = 0; form < NET_CONNECT_FORMS; ++form) {
        if (field >> 12 == AnnouncementCheck(field, form)) return form;
    }
    return std::nullopt;
}

// What an extended peer's announcement says of its settings.
enum class PeerSettings { FITTING, SAME_SIDE, OTHER_LINE };

PeerSettings JudgePeerSettings(uint16_t announcement) {
    if ((announcement & 1) == static_cast<uint16_t>(netLocalSide)) return PeerSettings::SAME_SIDE;
    if (((announcement & 2) != 0) != (netSendInterval == 3)) return PeerSettings::OTHER_LINE;
    return PeerSettings::FITTING;
}

// A side that connected on the peer's first word learns its announcement
// from the first connect packet that comes later. Either form tells it.
bool IsRestartedPeer(const NetPacket& packet) {
    if (!netPeerExtended || !ConnectForm(packet.valueCopy)) return false;
    const auto announcement = static_cast<uint16_t>(packet.valueCopy & kAnnouncementBits);
    if (!netPeerAnnouncement) netPeerAnnouncement = announcement;
    return announcement != *netPeerAnnouncement;
}

int connectPacketsSent;  // since NetOpen: the next one's form

// What the peer's connect packets have told in the running connect step.
struct ConnectReading {
    std::optional<uint16_t> told[NET_CONNECT_FORMS];  // the last announcement read in each form
    int connectPackets = 0;                           // read, of either form or of none
    bool announced = false;  // both forms told the same once: an extended peer, whatever came later
    std::optional<NetPacket> askedAgain;  // a word that looked like a damaged first word, asked for again
};
ConnectReading connectReading;

// Why no match comes about, said once a screen on standard error.
enum NetTrouble : uint32_t { OWN_PACKETS = 1, SAME_SIDE = 2, OTHER_LINE = 4, SILENT_PEER = 8 };
uint32_t toldTroubles;  // cleared by NetOpen

void TellOnce(NetTrouble trouble) {
    if (toldTroubles & trouble) return;
    toldTroubles |= trouble;
    switch (trouble) {
    case SAME_SIDE:
        std::fprintf(stderr,
                     "network: the other machine is set to side %d as well; one machine must play side 0 and the other "
                     "side 1 (config.dat)\n",
                     netLocalSide);
        break;
    case OTHER_LINE:
        std::fprintf(stderr,
                     "network: the other machine's slow-line setting differs from this one's (inputs every %u frames "
                     "here); set it the same on both (config.dat)\n",
                     netSendInterval);
        break;
    case OWN_PACKETS:
        std::fprintf(stderr,
                     "network: this game hears its own connect packets: the peer address in config.dat (%s, port %u) "
                     "leads back to this machine; waiting for another one\n",
                     config.peerHost, config.port);
        break;
    case SILENT_PEER:
        std::fprintf(stderr,
                     "network: nothing has answered from %s port %u yet; check config.dat on both machines: each "
                     "names the other machine's IPv4 address, both use the same port, one plays side 0 and the "
                     "other side 1, and both have the same slow-line setting (and no firewall drops UDP on that "
                     "port)\n",
                     config.peerHost, netPeerAddress.port);
        break;
    }
}

int silentPolls;  // connect polls since NetOpen that read nothing from the peer

}  // namespace

bool NetOpen() {
    ResetNetExchangeState();  // a plain peer's exchange until the peer says otherwise
    // Not the game's generator: its draws belong to the battles.
    static std::random_device entropy;
    netGameTag = static_cast<uint16_t>(entropy() & 0x3FF);
    return NetOpen({config.peerHost, config.port, 0, config.localSide, config.slowLine});
}

uint16_t ConnectAnnouncement(int32_t localSide, uint8_t slowLine, uint16_t gameTag) {
    return static_cast<uint16_t>((localSide == 1 ? 1 : 0) | (slowLine != 0 ? 2 : 0) | (gameTag & 0x3FF) << 2);
}

NetPacket ConnectPacket(int32_t localSide, uint8_t slowLine, uint16_t gameTag, int form) {
    const uint16_t announcement = ConnectAnnouncement(localSide, slowLine, gameTag);
    return {NT_COMMAND_CONNECT, 0, static_cast<uint16_t>(announcement | AnnouncementCheck(announcement, form) << 12)};
}

void SendConnectPacket() {
    const int form = connectPacketsSent++ % NET_CONNECT_FORMS;
    SendNetPacket(ConnectPacket(netLocalSide, netSendInterval == 3, netGameTag, form));
}

namespace {

// A peer whose first so many connect packets of a connect step held no two
// forms of one announcement is a plain peer. A packet of neither form counts
// too, so that no damaged or odd copy field keeps a peer waiting for good.
constexpr int kConnectPacketsForPlain = 4;

// A connect packet read while connecting: an extended peer once the two
// forms have told the same announcement (in *announcement), judged by its
// settings; a plain one after kConnectPacketsForPlain packets without that.
NetConnect JudgeConnectAnnouncement(const NetPacket& packet, bool* extended, uint16_t* announcement) {
    ConnectReading& reading = connectReading;
    if (const std::optional<int> form = ConnectForm(packet.valueCopy)) {
        reading.told[*form] = static_cast<uint16_t>(packet.valueCopy & kAnnouncementBits);
    }
    ++reading.connectPackets;
    if (reading.told[0] && reading.told[0] == reading.told[1]) {
        reading.announced = true;
        *announcement = *reading.told[0];
        const PeerSettings settings = JudgePeerSettings(*announcement);
        if (settings != PeerSettings::FITTING) {
            TellOnce(settings == PeerSettings::SAME_SIDE ? SAME_SIDE : OTHER_LINE);
            return NetConnect::REFUSED;
        }
        *extended = true;
        return NetConnect::CONNECTED;
    }
    // A peer that showed both forms once is an extended one, never taken for
    // a plain one whatever came after: it waits for its next pair.
    if (reading.announced || reading.connectPackets < kConnectPacketsForPlain) return NetConnect::WAITING;
    *extended = false;
    return NetConnect::CONNECTED;
}

// A word one bit off an extended peer's first, from a peer whose connect
// packets told one form already, is most likely an extended peer's first word
// damaged on the way, its other form lost: it is asked for again once. An
// extended peer answers with its first word; a plain peer, whose word merely
// looks so, with the same word again, which then connects it.
bool LooksLikeADamagedFirstWord(const NetPacket& word) {
    ConnectReading& reading = connectReading;
    const auto tag = static_cast<uint16_t>(word.value ^ word.valueCopy);
    if (std::popcount(static_cast<uint16_t>(tag ^ SelectPeriodTag(1))) != 1) return false;
    if (!reading.told[0] && !reading.told[1]) return false;
    if (reading.askedAgain == word) return false;
    reading.askedAgain = word;
    SendNetPacket({NT_COMMAND_WRECK, 0, SelectPeriodTag(1)});
    return true;
}

// Whether the packet read while connecting connects this side, and to what
// kind of peer.
NetConnect JudgeConnectPacket(const NetPacket& packet, bool* extended, uint16_t* announcement) {
    if (packet.frame == NT_COMMAND_CONNECT) return JudgeConnectAnnouncement(packet, extended, announcement);
    if (packet.frame != NT_COMMAND_INPUT) return NetConnect::WAITING;
    const auto tag = static_cast<uint16_t>(packet.value ^ packet.valueCopy);
    // A word of the peer's first period: it connected on this side's
    // connect packets.
    if (tag == SelectPeriodTag(1)) {
        *extended = true;
        return NetConnect::CONNECTED;
    }
    // A peer stops sending connect packets once it has read this side's, an
    // extended one only after both of its forms: one that did so before both
    // of its own came through, and whose word is not an extended peer's
    // first, is a plain peer, whatever its word's copy field holds.
    if (connectReading.connectPackets > 0 && !connectReading.announced) {
        if (LooksLikeADamagedFirstWord(packet)) return NetConnect::WAITING;
        *extended = false;
        return NetConnect::CONNECTED;
    }
    // A word of a later period belongs to an exchange this side is not in.
    const int wrongBits = std::popcount(static_cast<uint16_t>((tag & 0xFF) ^ tag >> 8));
    if (wrongBits <= 1) return NetConnect::WAITING;  // a later period, or a damaged tag
    *extended = false;
    return NetConnect::CONNECTED;
}

// This game's own connect packets, heard back: the peer address leads to
// this machine.
bool IsOwnConnectPacket(const NetPacket& packet) {
    for (int form = 0; form < NET_CONNECT_FORMS; ++form) {
        if (packet == ConnectPacket(netLocalSide, netSendInterval == 3, netGameTag, form)) return true;
    }
    return false;
}

}  // namespace

NetConnect PollNetConnect() {
    SendConnectPacket();
    NetPacket packet;
    if (!PollNetPacket(&packet)) {
        if (++silentPolls == NET_SILENT_CONNECT_POLLS) TellOnce(SILENT_PEER);
        return NetConnect::WAITING;
    }
    toldTroubles |= SILENT_PEER;  // something answers: the address is right
    if (IsOwnConnectPacket(packet)) {
        TellOnce(OWN_PACKETS);
        return NetConnect::WAITING;
    }
    bool extended = false;
    uint16_t announcement = 0;
    const NetConnect result = JudgeConnectPacket(packet, &extended, &announcement);
    if (result == NetConnect::REFUSED) netPeerRefused = true;
    if (result != NetConnect::CONNECTED) return result;
    netPeerExtended = extended;
    netPeerAnnouncement.reset();
    if (extended && packet.frame == NT_COMMAND_CONNECT) netPeerAnnouncement = announcement;
    connectReading = {};
    StartSelectExchange();
    // A plain peer's word that connected it is its word of the first period.
    if (!extended && packet.frame == NT_COMMAND_INPUT) selectWordAhead = packet;
    netPeerRefused = false;
    netConnected = 1;
    NetLogLine("[Success]:Connect\n");
    return NetConnect::CONNECTED;
}

bool SendSelectInput(const SelectDecideCheck& decideLocked) {
    netSelectPreviousInput = netSelectLocalInput;
    ++netSelectPeriod;
    ReadInputWord(0, &netSelectLocalInput);
    const bool refused = (netSelectLocalInput & INPUT_Z) != 0 && decideLocked &&
                         decideLocked(netSelectLocalInput, netSelectPreviousInput);
    if (refused) netSelectLocalInput = 0;
    SendNetPacket(SelectInputPacket(netSelectLocalInput, netSelectPeriod));
    return refused;
}

void ReceiveSelectInput(bool matchDecided) {
    const int remote = RemoteSide();
    inputWords[remote] = 0;
    switch (WaitForSelectInput(&inputWords[remote], matchDecided)) {
    case SelectWait::WORD: break;
    case SelectWait::PEER_LEFT: netSelectPeerLeft = true; break;
    case SelectWait::PEER_RESTARTED:
        netSelectPeerRestarted = true;
        netConnected = 0;
        break;
    case SelectWait::TIMED_OUT: netConnected = 0; break;
    }
    inputWords[netLocalSide] = netSelectLocalInput;
}

namespace {

enum class HandshakeRead { NOTHING, PACKET, GIVEN_UP };

// One read of the handshake: waits for a packet until a start packet is due,
// sends one every NET_HANDSHAKE_PAUSE_MS, and gives the peer up after
// NET_HANDSHAKE_SILENCE_MS without its start packet, whatever else comes.
HandshakeRead ReadHandshakePacket(NetPacket* packet, uint32_t* sincePauseMs, uint32_t* silentMs) {
    const uint32_t slice = NET_HANDSHAKE_PAUSE_MS - *sincePauseMs;
    uint32_t remaining = slice;
    const bool read = ReceiveNetPacket(packet, &remaining);
    *sincePauseMs += slice - remaining;
    *silentMs += slice - remaining;
    if (*sincePauseMs >= NET_HANDSHAKE_PAUSE_MS) {
        SendNetPacket({NT_COMMAND_START, 0, 0});
        *sincePauseMs = 0;
    }
    if (*silentMs < NET_HANDSHAKE_SILENCE_MS || (read && packet->frame == NT_COMMAND_START)) {
        return read ? HandshakeRead::PACKET : HandshakeRead::NOTHING;
    }
    WriteLog("NT_COMMAND_START: the peer is silent, the battle starts disconnected\n");
    NetClose();
    return HandshakeRead::GIVEN_UP;
}

}  // namespace

bool RunStartHandshake(const std::function<bool()>& pumpMessages) {
    NetLogLine("[Situation]:Wait for\n");
    NetPacket packet{};
    uint32_t sincePause = 0, silent = 0;
    for (;;) {
        if (!pumpMessages() || !NetIsOpen()) return false;
        const HandshakeRead read = ReadHandshakePacket(&packet, &sincePause, &silent);
        if (read == HandshakeRead::GIVEN_UP) return false;
        if (read == HandshakeRead::NOTHING) continue;
        if (packet.frame == NT_COMMAND_START) break;
        // The peer may still wait on its select screen for this side's last
        // word, which was lost; a peer that has decided the match also
        // leaves on this side's start packet.
        if (packet.frame == NT_COMMAND_WRECK && packet.value == 0) AnswerSelectRequest(packet);
        if (packet.frame == NT_COMMAND_CONNECT && IsRestartedPeer(packet)) {
            NetClose();  // it looks for a new match, which this side cannot give now
            return false;
        }
    }

    // One more packet is dropped: as a rule the peer's next NT_COMMAND_START.
    // This side keeps sending its own meanwhile, so two peers that both read
    // each other's first one do not wait here for each other, and a peer in
    // its battle answers them.
    NetLogLine("[Situation]:Scrap needless packet\n");
    silent = 0;
    for (HandshakeRead read = HandshakeRead::NOTHING; read != HandshakeRead::PACKET;) {
        if (!pumpMessages() || !NetIsOpen()) return false;
        read = ReadHandshakePacket(&packet, &sincePause, &silent);
        if (read == HandshakeRead::GIVEN_UP) return false;
    }
    netPendingPackets.clear();
    netSentSamples.clear();
    netReceivedSamples.clear();
    NetLogLine("[Situation]:Game Start\n");
    return true;
}

void SendInputSample(int32_t battleFrame, InputWord sample) {
    if (battleFrame < 0 || battleFrame > INT16_MAX) return;
    netSentSamples[battleFrame] = sample;
    if (netConnected) SendNetPacket(DataPacket(battleFrame, sample));
}

void ExchangeNetInput(int side, int32_t battleFrame, InputWord localSample) {
    if (side == netLocalSide) {
        inputWords[side] = localSample;
        return;
    }
    const int32_t interval = static_cast<int32_t>(netSendInterval);
    const int32_t expected = battleFrame - interval + 1;  // the frame the words were sampled on
    if (TakePendingPacket(expected, &inputWords[side])) {
        netReceivedSamples[expected] = inputWords[side];
        return;
    }
    // Each wait ends at its deadline however many other packets come in it:
    // a peer that keeps sending what is not awaited (requests for frames not
    // sampled yet, start packets, duplicates) still gets its resend request.
    for (int timeouts = 0;;) {
        uint32_t remaining = NET_BATTLE_WAIT_MS;
        for (NetPacket packet; remaining > 0 && ReceiveNetPacket(&packet, &remaining);) {
            if (TakeBattlePacket(packet, expected, &inputWords[side])) {
                netReceivedSamples[expected] = inputWords[side];
                return;
            }
        }
        SendNetPacket({NT_COMMAND_WRECK, static_cast<uint16_t>(expected), 0});
        WriteLog("NT_COMMAND_WRECK\n");
        if (++timeouts == NET_BATTLE_TIMEOUTS) {
            NetClose();
            return;
        }
    }
}

void SyncPlayerInput(int side, const SyncFrame& frame, SyncPlayerRecord& record) {
    const int32_t interval = static_cast<int32_t>(netSendInterval);
    if (frame.networkMatch && netConnected && frame.battleFrame % interval == interval - 1) {
        ExchangeNetInput(side, frame.battleFrame, record.netInput);
    }
    InputWord& word = inputWords[side];
    if (!frame.battlePaused) {
        if (frame.replayPlayback) word = PlaybackReplayInput(side, frame.battleFrame);
        else RecordReplayInput(side, word);
    }
    InputWord& pad = *record.padInput;
    if (frame.startCountdown > 100 || frame.battleOver) {
        word = 0;
        pad = 0;
    } else if (frame.startCountdown > 0) {
        word &= INPUT_COUNTDOWN_MASK;
        pad &= INPUT_COUNTDOWN_MASK;
    }
    UpdateButtonStates(&word, buttonStates[side]);
    UpdateButtonStates(&pad, record.buttons);
}

void AnswerResendRequestsUntilSilent(const std::function<bool()>& pumpMessages) {
    uint32_t left = NET_END_WAIT_LIMIT_MS;
    uint32_t quiet = NET_END_SILENCE_MS;  // left until the peer counts as silent
    ResendLastSamples();
    bool resentAgain = false;  // once more after a second, when the peer's first request could have come
    while (left > 0 && quiet > 0 && NetIsOpen() && pumpMessages()) {
        const uint32_t waited = NET_END_WAIT_LIMIT_MS - left;
        if (!resentAgain && waited >= NET_BATTLE_WAIT_MS) {
            ResendLastSamples();
            resentAgain = true;
        }
        // Short waits, so that the window keeps answering.
        uint32_t slice = std::min({left, quiet, NET_HANDSHAKE_PAUSE_MS});
        if (!resentAgain) slice = std::min(slice, NET_BATTLE_WAIT_MS - waited);
        uint32_t remaining = slice;
        NetPacket packet;
        const bool read = ReceiveNetPacket(&packet, &remaining);
        left -= slice - remaining;
        quiet -= slice - remaining;
        if (read && AnswerResendRequest(packet)) quiet = NET_END_SILENCE_MS;
    }
}

void ResetNetExchangeState() {
    netPendingPackets.clear();
    netSentSamples.clear();
    netReceivedSamples.clear();
    netSelectLocalInput = 0;
    netSelectPreviousInput = 0;
    netSelectPeerLeft = false;
    netSelectPeerRestarted = false;
    netPeerRefused = false;
    netPeerExtended = false;
    netPeerAnnouncement.reset();
    netGameTag = 0;
    netSelectPeriod = 0;
    selectWordAhead.reset();
    toldTroubles = 0;
    silentPolls = 0;
    connectPacketsSent = 0;
    connectReading = {};
}
