#include "game/flow/net_exchange.h"

#include "game/flow/replay_file.h"

#include <algorithm>

#include "engine/core/log.h"
#include "engine/devices/network.h"
#include "game/flow/save_files.h"

std::vector<NetPacket> netPendingPackets;
std::map<int32_t, InputWord> netSentSamples;
InputWord netSelectLocalInput;

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

// A packet that a peer sends only once it has left its start handshake: its
// samples and its resend requests. Seen during the handshake, it stands for
// the peer's start packet, which this side then missed: the peer stopped
// sending those, and would otherwise wait in its battle for this side forever.
bool IsBattlePacket(const NetPacket& packet) {
    return packet.frame >= 0 || packet.frame == NT_COMMAND_WRECK || packet.frame == NT_COMMAND_BROKEN;
}

// A resend request (WRECK or BROKEN) is answered with the word sampled on its
// frame; one for a frame not sampled (or not yet), and any other old packet or
// command, is ignored.
void AnswerResendRequest(const NetPacket& packet) {
    if (packet.frame != NT_COMMAND_WRECK && packet.frame != NT_COMMAND_BROKEN) return;
    const auto sample = netSentSamples.find(packet.value);
    if (sample == netSentSamples.end()) return;
    SendNetPacket({static_cast<int16_t>(packet.value), sample->second, sample->second});
}

// Keeps a packet that came ahead of its frame, unless its copies differ, its
// frame is kept already or the list is full (the resend request recovers it).
void KeepPendingPacket(const NetPacket& packet) {
    if (packet.value != packet.valueCopy || netPendingPackets.size() >= NET_PENDING_CAPACITY) return;
    for (const NetPacket& kept : netPendingPackets) {
        if (kept.frame == packet.frame) return;
    }
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
    *word = kept->value;
    netPendingPackets.erase(kept);
    return true;
}

// Waits for the peer's select-screen word in tries of NET_SELECT_WAIT_MS each;
// a try ends at its deadline however many other packets come in it. False
// when the last try has passed.
bool WaitForSelectInput(InputWord* word) {
    for (int timeouts = 0;;) {
        uint32_t remaining = NET_SELECT_WAIT_MS;
        for (NetPacket packet; remaining > 0 && ReceiveNetPacket(&packet, &remaining);) {
            if (packet.frame == NT_COMMAND_INPUT) {
                *word = packet.value;
                return true;
            }
            if (packet.frame == NT_COMMAND_WRECK) SendNetPacket({NT_COMMAND_INPUT, netSelectLocalInput, 0});
        }
        if (++timeouts == NET_SELECT_TIMEOUTS) return false;
        SendNetPacket({NT_COMMAND_WRECK, 0, 0});
    }
}

// One packet read while the peer's word of frame `expected` is awaited: true
// when it is that word (in *word); else it is answered, kept or dropped.
bool TakeBattlePacket(const NetPacket& packet, int32_t expected, InputWord* word) {
    if (packet.frame < expected) {
        AnswerResendRequest(packet);
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

}  // namespace

bool NetOpen() {
    netPendingPackets.clear();
    netSentSamples.clear();
    netSelectLocalInput = 0;
    return NetOpen({config.peerHost, config.port, 0, config.localSide, config.slowLine});
}

bool PollNetConnect() {
    SendNetPacket({NT_COMMAND_CONNECT, 0, 0});
    NetPacket packet;
    if (!PollNetPacket(&packet) || packet.frame != NT_COMMAND_CONNECT) return false;
    netConnected = 1;
    NetLogLine("[Success]:Connect\n");
    return true;
}

bool SendSelectInput(bool decideLocked) {
    ReadInputWord(0, &netSelectLocalInput);
    const bool refused = decideLocked && (netSelectLocalInput & INPUT_Z) != 0;
    if (refused) netSelectLocalInput = 0;
    SendNetPacket({NT_COMMAND_INPUT, netSelectLocalInput, 0});
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
    do {
        if (!pumpMessages() || !NetIsOpen()) return false;
        NetWait(NET_HANDSHAKE_PAUSE_MS);
        SendNetPacket({NT_COMMAND_START, 0, 0});
    } while (!PollNetPacket(&packet) || (packet.frame != NT_COMMAND_START && !IsBattlePacket(packet)));

    // One more packet is dropped: as a rule the peer's next NT_COMMAND_START.
    // This side keeps sending its own meanwhile, so two peers that both read
    // each other's first one do not wait here for each other. A peer that is
    // in its battle already sends no more start packets; waiting for one more
    // would only drop a packet it needs answered.
    NetLogLine("[Situation]:Scrap needless packet\n");
    const bool peerInBattle = packet.frame != NT_COMMAND_START;
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

void AnswerResendRequestsUntilSilent() {
    for (int silent = 0; silent < 2;) {
        uint8_t bytes[NET_PACKET_SIZE];
        if (!NetReceiveWait(bytes, NET_PACKET_SIZE, 1)) {
            ++silent;
            continue;
        }
        silent = 0;
        const NetPacket packet = DecodeNetPacket(bytes);
        if (packet.frame != NT_COMMAND_WRECK && packet.frame != NT_COMMAND_BROKEN) continue;
        const auto sample = netSentSamples.find(packet.value);
        if (sample != netSentSamples.end()) {
            SendNetPacket({static_cast<int16_t>(packet.value), sample->second, sample->second});
        }
    }
}
