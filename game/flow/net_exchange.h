#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "game/flow/input_words.h"

// Network play: only the two sides' InputWords cross the network. Each machine
// samples its own side every `netSendInterval` (N) frames and sends the word
// with its frame number; both machines use both words on the same later frame
// (frame f uses the words sampled on N * floor((f + 1) / N) - N; frames below
// N - 1 use 0). All waits are timed socket waits on the main thread.

// The first field of a NetPacket: a battle frame (0 or more) or a command.
enum NetCommand : int16_t {
    NT_COMMAND_CONNECT = -11,  // the select screen looking for its peer
    NT_COMMAND_START = -13,    // the battle start handshake
    NT_COMMAND_INPUT = -30,    // a select-screen word (no frame number)
    NT_COMMAND_WRECK = -40,    // resend request: value = the missing frame
    NT_COMMAND_BROKEN = -50,   // the packet of frame `value` came with unequal copies
};

// One 6-byte little-endian datagram.
struct NetPacket {
    int16_t frame;       // a battle frame or a NetCommand
    uint16_t value;      // the InputWord, or the frame a command refers to, or 0
    uint16_t valueCopy;  // in a data packet a second copy of the word

    bool operator==(const NetPacket&) const = default;
};
constexpr int NET_PACKET_SIZE = 6;

constexpr uint32_t NET_BATTLE_WAIT_MS = 1000;
constexpr int NET_BATTLE_TIMEOUTS = 11;  // the time-out that gives the peer up
constexpr uint32_t NET_SELECT_WAIT_MS = 3000;
constexpr int NET_SELECT_TIMEOUTS = 3;
constexpr uint32_t NET_HANDSHAKE_PAUSE_MS = 32;
// Packets ahead of their frame kept at most; a sound peer is one exchange ahead.
constexpr size_t NET_PENDING_CAPACITY = 8;
// How many exchanges ahead of the awaited one a battle data packet may be.
// A sound peer is at most one ahead; a frame field further out (or not a
// multiple of the interval, or behind) is a damaged one, and is dropped.
constexpr int32_t NET_FRAME_WINDOW_EXCHANGES = 2;
// The end of a battle answers resend requests until none has come for this
// long, and waits this long in all at most (the battle's own time-out).
constexpr uint32_t NET_END_SILENCE_MS = 2000;
constexpr uint32_t NET_END_WAIT_LIMIT_MS = NET_BATTLE_WAIT_MS * NET_BATTLE_TIMEOUTS;
// The select screen asks for a missing word at most this many times before it
// gives the connection up; the battle start tells its requests apart by it.
constexpr int NET_SELECT_REQUESTS = NET_SELECT_TIMEOUTS - 1;

// Data packets that arrived before their frame, each with equal copies.
extern std::vector<NetPacket> netPendingPackets;
// The words this machine sampled in the running battle, by frame: the source
// of the answers to resend requests.
extern std::map<int32_t, InputWord> netSentSamples;
// The select screen's local word of the running exchange period, applied
// together with the peer's word, and the one of the period before, which a
// peer one period behind may still ask for.
extern InputWord netSelectLocalInput;
extern InputWord netSelectPreviousInput;
// The select screen's exchange periods since the connection, counted by
// SendSelectInput on both machines alike. An NT_COMMAND_INPUT packet carries
// its word, and in its third field the word XOR a tag of the period (its low
// byte twice): the receiver takes only the period it waits for, and a damaged
// word or a word of another period shows.
extern uint16_t netSelectPeriod;

void EncodeNetPacket(const NetPacket& packet, uint8_t bytes[NET_PACKET_SIZE]);
NetPacket DecodeNetPacket(const uint8_t bytes[NET_PACKET_SIZE]);
void SendNetPacket(const NetPacket& packet);

// Opens the socket with the peer, port, side and interval of `config`, and
// forgets the exchange state of an earlier match.
bool NetOpen();

// The select screen's connect step, once a frame while it waits: sends
// NT_COMMAND_CONNECT and polls; true when the peer's NT_COMMAND_CONNECT was
// read, which sets `netConnected`. The peer's NT_COMMAND_START or
// NT_COMMAND_INPUT counts as well: a peer that has connected sends no more
// connect packets, so those may be all this side ever sees.
bool PollNetConnect();

// Whether a word of this machine's player, following `previous` (the word of
// the period before), would decide a character or stage locked here.
using SelectDecideCheck = std::function<bool(InputWord word, InputWord previous)>;
// Select screen, on frames where its counter mod N is 0: reads the local pad
// into `netSelectLocalInput` and sends it. A word with a decide press
// (INPUT_Z) that `decideLocked` finds locked is dropped, the word sent as 0;
// the result is true then, and the screen plays its error sound.
bool SendSelectInput(const SelectDecideCheck& decideLocked = {});
// Select screen, on frames where its counter mod N is N - 1: waits for the
// peer's word of this period (3-second tries, resend requests after the first
// two, the third time-out clears `netConnected`; a try lasts its 3 seconds
// however many other packets come in it; a damaged word or one of a later
// period is asked for again at once; a peer still sending connect packets is
// sent this side's word, which connects it), then puts it and
// `netSelectLocalInput` into `inputWords`, so both machines apply the pair on
// the same frame.
void ReceiveSelectInput();

// The last step of a network battle's start: sends NT_COMMAND_START until the
// peer's comes, drops one more packet, and clears the pending packets and the
// sent samples. What only a peer already in its battle sends also ends the
// wait (without the drop): its sample of frame 0, or its requests for this
// side's sample of frame 0 once there are more than a select screen sends.
// Such a request is also answered with this side's last select-screen words,
// which a peer still on its select screen may be waiting for.
// It waits without a time-out but calls `pumpMessages` between its polls;
// false when that asks the program to end or the socket is closed.
bool RunStartHandshake(const std::function<bool()>& pumpMessages);

// Sampling on battle frames with battleFrame mod N = 0: keeps the local word
// for resend requests and, while connected, sends {battleFrame, word, word}.
// A frame beyond the 16-bit frame field is not sent.
void SendInputSample(int32_t battleFrame, InputWord sample);

// After this machine's battle is over the peer may still be waiting for its
// last samples (the packets may have been lost): answers the peer's resend
// requests from the samples sent until no request has come for
// NET_END_SILENCE_MS, so both machines finish the battle on the same words.
// Other packets (a peer back on its select screen sends one a frame) do not
// prolong it; it waits NET_END_WAIT_LIMIT_MS at most, and calls
// `pumpMessages` between short waits, ending early when that returns false.
void AnswerResendRequestsUntilSilent(const std::function<bool()>& pumpMessages);

// The exchange of one side on frames with battleFrame mod N = N - 1: the local
// side takes `localSample`; the other side's word comes from the pending
// packets or is waited for (1-second waits, a resend request after each, the
// 11th time-out closes the network and leaves the word as it was). A wait ends
// at its deadline even while other packets keep coming, so one call lasts at
// most about 11 seconds.
void ExchangeNetInput(int side, int32_t battleFrame, InputWord localSample);

// What SyncPlayerInput reads of the battle for the frame.
struct SyncFrame {
    int32_t battleFrame;
    int32_t startCountdown;
    bool networkMatch;  // gameMode is MODE_VS_NETWORK
    bool battlePaused;
    bool battleOver;
    bool replayPlayback;
};

// The parts of one side's PlayerRecord and replay list that SyncPlayerInput uses.
struct SyncPlayerRecord {
    InputWord netInput;    // the side's last local sample
    InputWord* padInput;   // the live pad word
    int32_t* buttons;      // the ButtonStates of the live pad word
};

// The final word of one side for the frame, called for side 0 and then side 1
// (also on paused frames): the network exchange, then recording or playback
// (unpaused frames only), the start-countdown and battle-over masks, and both
// ButtonStates.
void SyncPlayerInput(int side, const SyncFrame& frame, SyncPlayerRecord& record);
