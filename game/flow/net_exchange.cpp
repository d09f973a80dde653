#include "game/flow/net_exchange.h"

#include "game/flow/replay_file.h"

#include <algorithm>
#include <cstdio>
#include <random>

#include "engine/core/log.h"
#include "engine/devices/network.h"
#include "game/flow/save_files.h"

std::vector<NetPacket> netPendingPackets;
std::map<int32_t, InputWord> netSentSamples;
std::map<int32_t, InputWord> netReceivedSamples;
InputWord netSelectLocalInput;
InputWord netSelectPreviousInput;
bool netSelectPeerLeft;
bool netPeerRefused;
uint16_t netGameTag;
uint16_t netSelectPeriod;

void EncodeNetPacket(const NetPacket& packet, uint8_t bytes[NET_PACKET_SIZE]) {
    const uint16_t fields[3] = {static_cast<uint16_t>(packet.frame), packet.value, packet.valueCopy};
    for (int i = 0; i < 3; ++i) {
        bytes[2 * i] = static_cast<uint8_t>(fields[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<uint8_t>(fields[i] >> 8);
    }
}

NetPacket DecodeNetPacket(const uint8_t bytes[NET_PACKET_SIZE]) {
    auto field = [bytes](int i) { return static_cast<uint16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8); };
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

// Equal copies whose check does not fit the frame field: that field was damaged.
bool FrameFieldDamaged(const NetPacket& packet) {
    return packet.value == packet.valueCopy && packet.value >> kFrameCheckShift != FrameCheck(packet.frame);
}

}  // namespace

NetPacket DataPacket(int32_t frame, InputWord word) {
    const auto framed = static_cast<int16_t>(frame);
    const auto value = static_cast<uint16_t>((word & INPUT_ALL_BUTTONS) | FrameCheck(framed) << kFrameCheckShift);
    return {framed, value, value};
}

bool DataPacketWord(const NetPacket& packet, InputWord* word) {
    if (packet.value != packet.valueCopy || FrameFieldDamaged(packet)) return false;
    *word = packet.value & INPUT_ALL_BUTTONS;
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
constexpr uint8_t kSelectStalePeriods = 8;
constexpr uint8_t kSelectDamaged = 0xFF;

// How many periods before the awaited one an NT_COMMAND_INPUT packet was sent
// in: 0 for the awaited period, 1 to kSelectStalePeriods for late duplicates;
// anything else (a later period, or kSelectDamaged for a tag that is not one)
// is above.
uint8_t SelectPeriodsBehind(const NetPacket& packet) {
    const auto tag = static_cast<uint16_t>(packet.value ^ packet.valueCopy);
    if ((tag & 0xFF) != tag >> 8) return kSelectDamaged;
    return static_cast<uint8_t>(netSelectPeriod - tag);
}

// Answers the peer's request for a select-screen word: it may still wait for
// the word of the period before, or already for this one.
void AnswerSelectRequest() {
    SendNetPacket(SelectInputPacket(netSelectPreviousInput, static_cast<uint16_t>(netSelectPeriod - 1)));
    SendNetPacket(SelectInputPacket(netSelectLocalInput, netSelectPeriod));
}

enum class SelectWait { WORD, PEER_LEFT, TIMED_OUT };

// Waits for the peer's select-screen word in tries of NET_SELECT_WAIT_MS each;
// a try ends at its deadline however many other packets come in it. A word of
// a later period means that the awaited one was lost, and a damaged one that
// it may have been: both are asked for again at once. A peer that has not
// connected yet is sent this side's word. Once the match is decided, the
// peer's start packet ends the wait too.
// A request of the peer's that comes after this side has waited a while for
// its word is answered, and once a try asked back: the peer is stuck too,
// maybe a period ahead and waiting for a word this side cannot send yet, so
// its own requests free nothing, while either side's request that gets
// through frees both.
SelectWait WaitForSelectInput(InputWord* word, bool matchDecided) {
    for (int timeouts = 0;;) {
        uint32_t remaining = NET_SELECT_WAIT_MS;
        bool askedBack = false;
        for (NetPacket packet; remaining > 0 && ReceiveNetPacket(&packet, &remaining);) {
            if (packet.frame == NT_COMMAND_INPUT) {
                const uint8_t behind = SelectPeriodsBehind(packet);
                if (behind == 0) {
                    *word = packet.value;
                    return SelectWait::WORD;
                }
                if (behind > kSelectStalePeriods) SendNetPacket({NT_COMMAND_WRECK, 0, 0});
            } else if (packet.frame == NT_COMMAND_WRECK) {
                AnswerSelectRequest();
                const bool overdue = timeouts > 0 || NET_SELECT_WAIT_MS - remaining >= kSelectOverdueMs;
                if (overdue && !askedBack) {
                    SendNetPacket({NT_COMMAND_WRECK, 0, 0});
                    askedBack = true;
                }
            } else if (packet.frame == NT_COMMAND_CONNECT) {
                // The peer is still looking for this side: this side connected
                // on its connect packet, but every packet it read from here
                // was lost. Nothing else this side sends while it waits would
                // connect the peer (requests do not); the word does, and it
                // starts no exchange of answers.
                SendNetPacket(SelectInputPacket(netSelectLocalInput, netSelectPeriod));
            } else if (packet.frame == NT_COMMAND_START && matchDecided) {
                return SelectWait::PEER_LEFT;
            }
        }
        if (++timeouts == NET_SELECT_TIMEOUTS) return SelectWait::TIMED_OUT;
        SendNetPacket({NT_COMMAND_WRECK, 0, 0});
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

// Both machines start the exchange as if every button had been held on both
// sides: a key held at the connection is a new press on neither machine.
void StartSelectExchange() {
    netSelectLocalInput = INPUT_ALL_BUTTONS;
    netSelectPreviousInput = INPUT_ALL_BUTTONS;
    netSelectPeriod = 0;
    netSelectPeerLeft = false;
}

// A connect packet's value: the settings byte and its complement.
constexpr uint8_t kSettingsMark = 0xA0;
uint16_t SettingsValue(int32_t side, uint8_t slowLine) {
    const auto settings = static_cast<uint8_t>(kSettingsMark | (side == 1 ? 1 : 0) | (slowLine != 0 ? 2 : 0));
    return static_cast<uint16_t>(settings | static_cast<uint8_t>(~settings) << 8);
}

// What a connect packet says of its sender.
enum class PeerSettings { UNTOLD, FITTING, SAME_SIDE, OTHER_LINE, DAMAGED };

PeerSettings JudgePeerSettings(uint16_t value) {
    if (value == 0) return PeerSettings::UNTOLD;
    const auto settings = static_cast<uint8_t>(value & 0xFF);
    if (value >> 8 != static_cast<uint8_t>(~settings) || (settings & ~3) != kSettingsMark) {
        return PeerSettings::DAMAGED;
    }
    if ((settings & 1) == netLocalSide) return PeerSettings::SAME_SIDE;
    if (((settings & 2) != 0) != (netSendInterval == 3)) return PeerSettings::OTHER_LINE;
    return PeerSettings::FITTING;
}

// Why no match comes about, said once a screen on standard error.
enum NetTrouble : uint32_t { OWN_PACKETS = 1, SAME_SIDE = 2, OTHER_LINE = 4 };
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
    }
}

}  // namespace

bool NetOpen() {
    netPendingPackets.clear();
    netSentSamples.clear();
    netReceivedSamples.clear();
    StartSelectExchange();
    netPeerRefused = false;
    toldTroubles = 0;
    // Not the game's generator: its draws belong to the battles. A tag of 0
    // would pass for an old peer's.
    static std::random_device entropy;
    do netGameTag = static_cast<uint16_t>(entropy()); while (netGameTag == 0);
    return NetOpen({config.peerHost, config.port, 0, config.localSide, config.slowLine});
}

NetPacket ConnectPacket(int32_t localSide, uint8_t slowLine, uint16_t gameTag) {
    return {NT_COMMAND_CONNECT, SettingsValue(localSide, slowLine), gameTag};
}

NetConnect PollNetConnect() {
    const NetPacket own = ConnectPacket(netLocalSide, netSendInterval == 3, netGameTag);
    SendNetPacket(own);
    NetPacket packet;
    if (!PollNetPacket(&packet)) return NetConnect::WAITING;
    if (packet == own) {
        TellOnce(OWN_PACKETS);
        return NetConnect::WAITING;
    }
    if (packet.frame == NT_COMMAND_CONNECT) {
        const PeerSettings settings = JudgePeerSettings(packet.value);
        if (settings == PeerSettings::DAMAGED) return NetConnect::WAITING;
        netPeerRefused = settings == PeerSettings::SAME_SIDE || settings == PeerSettings::OTHER_LINE;
        if (netPeerRefused) {
            TellOnce(settings == PeerSettings::SAME_SIDE ? SAME_SIDE : OTHER_LINE);
            return NetConnect::REFUSED;
        }
    } else if (packet.frame != NT_COMMAND_START && packet.frame != NT_COMMAND_INPUT) {
        return NetConnect::WAITING;
    }
    StartSelectExchange();
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
    case SelectWait::TIMED_OUT: netConnected = 0; break;
    }
    inputWords[netLocalSide] = netSelectLocalInput;
}

bool RunStartHandshake(const std::function<bool()>& pumpMessages) {
    NetLogLine("[Situation]:Wait for\n");
    NetPacket packet{};
    for (;;) {
        if (!pumpMessages() || !NetIsOpen()) return false;
        NetWait(NET_HANDSHAKE_PAUSE_MS);
        SendNetPacket({NT_COMMAND_START, 0, 0});
        if (!PollNetPacket(&packet)) continue;
        // The peer may still wait on its select screen for this side's last
        // word, which was lost; a peer that has decided the match also
        // leaves on this side's start packet.
        if (packet.frame == NT_COMMAND_WRECK && packet.value == 0) AnswerSelectRequest();
        if (packet.frame == NT_COMMAND_START) break;
    }

    // One more packet is dropped: as a rule the peer's next NT_COMMAND_START.
    // This side keeps sending its own meanwhile, so two peers that both read
    // each other's first one do not wait here for each other, and a peer in
    // its battle answers them.
    NetLogLine("[Situation]:Scrap needless packet\n");
    while (!PollNetPacket(&packet)) {
        if (!pumpMessages() || !NetIsOpen()) return false;
        NetWait(NET_HANDSHAKE_PAUSE_MS);
        SendNetPacket({NT_COMMAND_START, 0, 0});
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
