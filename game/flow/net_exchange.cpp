#include "game/flow/net_exchange.h"

#include "game/flow/replay_file.h"

#include <algorithm>

#include "engine/core/log.h"
#include "engine/devices/network.h"
#include "game/flow/save_files.h"

std::vector<NetPacket> netPendingPackets;
std::map<int32_t, InputWord> netSentSamples;
InputWord netSelectLocalInput;
InputWord netSelectPreviousInput;
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

// What the start handshake has read that only a peer in its battle sends.
// Seen during the handshake, it stands for the peer's start packet, which this
// side then missed: the peer stopped sending those, and would otherwise wait
// in its battle for this side forever. Such a peer can be no further than its
// first exchange: it has sent its sample of frame 0 and asks once a second for
// this side's. A select screen still waiting for this side's word asks with a
// request for 0 too, but at most NET_SELECT_REQUESTS times before it gives up.
struct BattleSigns {
    int requestsForFrameZero = 0;

    bool Seen(const NetPacket& packet) {
        if (packet.frame == 0) return packet.value == packet.valueCopy;
        if (!IsResendRequest(packet) || packet.value != 0) return false;
        return ++requestsForFrameZero > NET_SELECT_REQUESTS;
    }
};

// Whether a data packet's frame can be that of a sound peer while the word of
// frame `expected` is awaited: a sampling frame, not older, and at most
// NET_FRAME_WINDOW_EXCHANGES exchanges ahead. The frame field has no copy, so
// this is what catches most damage to it.
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
    SendNetPacket({static_cast<int16_t>(packet.value), sample->second, sample->second});
    return true;
}

// Keeps a packet that came ahead of its frame, unless its copies differ or
// the list is full (the resend request recovers it). A second packet for a
// kept frame with another word means one of the two had its frame field
// damaged: the frame's entry then keeps no word (its copies made unequal),
// so no later copy of either is taken, and the frame is asked for when due.
void KeepPendingPacket(const NetPacket& packet) {
    if (packet.value != packet.valueCopy) return;
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
    const bool usable = kept->value == kept->valueCopy;
    if (usable) *word = kept->value;
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

// Waits for the peer's select-screen word in tries of NET_SELECT_WAIT_MS each;
// a try ends at its deadline however many other packets come in it. A word of
// a later period means that the awaited one was lost, and a damaged one that
// it may have been: both are asked for again at once. False when the last try
// has passed. A peer that has not connected yet is sent this side's word.
bool WaitForSelectInput(InputWord* word) {
    for (int timeouts = 0;;) {
        uint32_t remaining = NET_SELECT_WAIT_MS;
        for (NetPacket packet; remaining > 0 && ReceiveNetPacket(&packet, &remaining);) {
            if (packet.frame == NT_COMMAND_INPUT) {
                const uint8_t behind = SelectPeriodsBehind(packet);
                if (behind == 0) {
                    *word = packet.value;
                    return true;
                }
                if (behind > kSelectStalePeriods) SendNetPacket({NT_COMMAND_WRECK, 0, 0});
            } else if (packet.frame == NT_COMMAND_WRECK) {
                AnswerSelectRequest();
            } else if (packet.frame == NT_COMMAND_CONNECT) {
                // The peer is still looking for this side: this side connected
                // on its connect packet, but every packet it read from here
                // was lost. Nothing else this side sends while it waits would
                // connect the peer (requests do not); the word does, and it
                // starts no exchange of answers.
                SendNetPacket(SelectInputPacket(netSelectLocalInput, netSelectPeriod));
            }
        }
        if (++timeouts == NET_SELECT_TIMEOUTS) return false;
        SendNetPacket({NT_COMMAND_WRECK, 0, 0});
    }
}

// One packet read while the peer's word of frame `expected` is awaited: true
// when it is that word (in *word); else it is answered, kept or dropped.
bool TakeBattlePacket(const NetPacket& packet, int32_t expected, InputWord* word) {
    if (packet.frame < 0) {
        AnswerResendRequest(packet);
    } else if (!InFrameWindow(packet.frame, expected)) {
        // An old duplicate, or a damaged frame field: dropped.
    } else if (packet.frame > expected) {
        KeepPendingPacket(packet);
    } else if (packet.value == packet.valueCopy) {
        *word = packet.value;
        return true;
    } else {
        SendNetPacket({NT_COMMAND_BROKEN, static_cast<uint16_t>(expected), 0});
        WriteLog("NT_COMMAND_BROKEN\n");
    }
    return false;
}

void StartSelectExchange() {
    netSelectLocalInput = 0;
    netSelectPreviousInput = 0;
    netSelectPeriod = 0;
}

}  // namespace

bool NetOpen() {
    netPendingPackets.clear();
    netSentSamples.clear();
    StartSelectExchange();
    return NetOpen({config.peerHost, config.port, 0, config.localSide, config.slowLine});
}

bool PollNetConnect() {
    SendNetPacket({NT_COMMAND_CONNECT, 0, 0});
    NetPacket packet;
    if (!PollNetPacket(&packet)) return false;
    if (packet.frame != NT_COMMAND_CONNECT && packet.frame != NT_COMMAND_START && packet.frame != NT_COMMAND_INPUT) {
        return false;
    }
    StartSelectExchange();
    netConnected = 1;
    NetLogLine("[Success]:Connect\n");
    return true;
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

void ReceiveSelectInput() {
    const int remote = RemoteSide();
    inputWords[remote] = 0;
    if (!WaitForSelectInput(&inputWords[remote])) netConnected = 0;
    inputWords[netLocalSide] = netSelectLocalInput;
}

bool RunStartHandshake(const std::function<bool()>& pumpMessages) {
    NetLogLine("[Situation]:Wait for\n");
    NetPacket packet{};
    BattleSigns battleSigns;
    bool peerInBattle = false;
    for (;;) {
        if (!pumpMessages() || !NetIsOpen()) return false;
        NetWait(NET_HANDSHAKE_PAUSE_MS);
        SendNetPacket({NT_COMMAND_START, 0, 0});
        if (!PollNetPacket(&packet)) continue;
        // This side left its select screen on the same frame as the peer,
        // but its last word may have been lost: the peer then waits for it
        // there. A peer in its battle ignores the answer.
        if (packet.frame == NT_COMMAND_WRECK && packet.value == 0) AnswerSelectRequest();
        peerInBattle = battleSigns.Seen(packet);
        if (peerInBattle || packet.frame == NT_COMMAND_START) break;
    }

    // One more packet is dropped: as a rule the peer's next NT_COMMAND_START.
    // This side keeps sending its own meanwhile, so two peers that both read
    // each other's first one do not wait here for each other. A peer that is
    // in its battle already sends no more start packets; waiting for one more
    // would only drop a packet it needs answered.
    NetLogLine("[Situation]:Scrap needless packet\n");
    while (!peerInBattle && !PollNetPacket(&packet)) {
        if (!pumpMessages() || !NetIsOpen()) return false;
        NetWait(NET_HANDSHAKE_PAUSE_MS);
        SendNetPacket({NT_COMMAND_START, 0, 0});
    }
    netPendingPackets.clear();
    netSentSamples.clear();
    NetLogLine("[Situation]:Game Start\n");
    return true;
}

void SendInputSample(int32_t battleFrame, InputWord sample) {
    if (battleFrame < 0 || battleFrame > INT16_MAX) return;
    netSentSamples[battleFrame] = sample;
    if (netConnected) SendNetPacket({static_cast<int16_t>(battleFrame), sample, sample});
}

void ExchangeNetInput(int side, int32_t battleFrame, InputWord localSample) {
    if (side == netLocalSide) {
        inputWords[side] = localSample;
        return;
    }
    const int32_t interval = static_cast<int32_t>(netSendInterval);
    const int32_t expected = battleFrame - interval + 1;  // the frame the words were sampled on
    if (TakePendingPacket(expected, &inputWords[side])) return;
    // Each wait ends at its deadline however many other packets come in it:
    // a peer that keeps sending what is not awaited (requests for frames not
    // sampled yet, start packets, duplicates) still gets its resend request.
    for (int timeouts = 0;;) {
        uint32_t remaining = NET_BATTLE_WAIT_MS;
        for (NetPacket packet; remaining > 0 && ReceiveNetPacket(&packet, &remaining);) {
            if (TakeBattlePacket(packet, expected, &inputWords[side])) return;
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
    while (left > 0 && quiet > 0 && NetIsOpen() && pumpMessages()) {
        // Short waits, so that the window keeps answering.
        const uint32_t slice = std::min({left, quiet, NET_HANDSHAKE_PAUSE_MS});
        uint32_t remaining = slice;
        NetPacket packet;
        const bool read = ReceiveNetPacket(&packet, &remaining);
        left -= slice - remaining;
        quiet -= slice - remaining;
        if (read && AnswerResendRequest(packet)) quiet = NET_END_SILENCE_MS;
    }
}
