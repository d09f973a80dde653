#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
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
// The start handshake gives the peer up after this long without its start
// packet, as a battle wait does, and the battle then starts disconnected.
constexpr uint32_t NET_HANDSHAKE_SILENCE_MS = NET_BATTLE_WAIT_MS * NET_BATTLE_TIMEOUTS;
// The connect step says once on standard error that nothing has answered
// after this many polls (one a frame: about five seconds).
constexpr int NET_SILENT_CONNECT_POLLS = 300;
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
// The copy field of the start packet with which a battle answers the peer's
// start packet: the peer may have missed every start packet of this side's
// handshake. An answer is not answered again.
constexpr uint16_t NET_START_ANSWER = 0x5AA5;

// Data packets that arrived before their frame, each sound (DataPacketWord).
extern std::vector<NetPacket> netPendingPackets;
// The words this machine sampled in the running battle, by frame: the source
// of the answers to resend requests.
extern std::map<int32_t, InputWord> netSentSamples;
// The select screen's local word of the running exchange period, applied
// together with the peer's word.
extern InputWord netSelectLocalInput;
// The select screen's local word of the period before the running one,
// which a peer one period behind may still ask for.
extern InputWord netSelectPreviousInput;
// The select screen's peer has left its screen for the battle (its start
// packet came while this screen had decided the match): no word is exchanged
// any more.
extern bool netSelectPeerLeft;
// The select screen's peer has started its game anew (a connect packet with
// another tag came while the words were exchanged): the screen starts over
// from its connect step, as at its first connection.
extern bool netSelectPeerRestarted;
// The last connect packet heard came from a machine whose settings do not fit
// this one's (the same side, or another line speed); the screen shows
// "disconnected" and standard error says why.
extern bool netPeerRefused;
// The peer's connect packets announced this game's extensions in their copy
// field, in both forms (ConnectPacket), as this game's own do: its settings,
// a tag of its game, period tags in the copy field of select-screen words and
// requests, and a check of the frame number in the high bits of the battle
// words. With a peer that did not announce them the packets are exactly the
// plain format: data packets carry the plain word twice, and any select word
// is taken as the awaited one.
extern bool netPeerExtended;
// Drawn at each NetOpen: the tag of this game's connect packets (10 bits).
extern uint16_t netGameTag;
// The announcement (ConnectAnnouncement) of the extended peer's connect
// packets, once known; another one later means that the peer's game started
// anew.
extern std::optional<uint16_t> netPeerAnnouncement;
// The select screen's exchange periods since the connection, counted by
// SendSelectInput on both machines alike. With an extended peer an
// NT_COMMAND_INPUT packet carries in its third field the word XOR a tag of
// the period (its low byte twice), and a resend request the tag of the period
// it asks for: the receiver takes the period it waits for (and keeps a word
// of the next one for that), and a damaged word or a word of another period
// shows.
extern uint16_t netSelectPeriod;
// Puts the exchange's state back as it is at program start.
void ResetNetExchangeState();

// A battle data packet as this side sends it: the word sampled on `frame`
// in both value fields; with an extended peer each carries a check of the
// frame number in the word's five unused high bits (the frame field has no
// copy, and a damaged one then shows as a damaged word does).
NetPacket DataPacket(int32_t frame, InputWord word);
// The word of a data packet whose copies agree and, from an extended peer,
// whose check fits its frame (or is 0: a plain word).
bool DataPacketWord(const NetPacket& packet, InputWord* word);

void EncodeNetPacket(const NetPacket& packet, uint8_t bytes[NET_PACKET_SIZE]);
NetPacket DecodeNetPacket(const uint8_t bytes[NET_PACKET_SIZE]);
void SendNetPacket(const NetPacket& packet);

// Opens the socket with the peer, port, side and interval of `config`, draws
// a new game tag, and forgets the exchange state of an earlier match.
bool NetOpen();

// What the connect packets of a game on `localSide` with `slowLine` and
// `gameTag` announce: the side (bit 0), the line (bit 1) and the tag (bits 2
// to 11).
uint16_t ConnectAnnouncement(int32_t localSide, uint8_t slowLine, uint16_t gameTag);

// A game's connect packets take these forms in turn.
constexpr int NET_CONNECT_FORMS = 2;
// The connect packet of that game in `form` (0 or 1): the value 0, and in the
// copy field the announcement of the extensions, with a check of it in bits
// 12 to 15 that differs between the forms in every bit. One damaged bit
// shows, 0 and 0xFFFF announce nothing, and no one value is both forms: a
// peer whose copy field stays the same does not pass for an extended one.
NetPacket ConnectPacket(int32_t localSide, uint8_t slowLine, uint16_t gameTag, int form);
// Sends this game's connect packet (netLocalSide, its line, netGameTag), the
// forms in turn.
void SendConnectPacket();

enum class NetConnect { WAITING, CONNECTED, REFUSED };
// The select screen's connect step, once a frame while it waits: sends this
// game's connect packet (the forms in turn) and reads at most one datagram.
// The peer's connect packets connect, which sets `netConnected`: an extended
// peer once they showed both forms of one announcement, a plain peer after a
// few without that (whatever their copy fields hold, damaged ones counted).
// An extended peer that announces the same side or another line speed is
// REFUSED, with the reason on standard error (once), and this side keeps
// waiting. This game's own connect packets (a peer address that points back
// at this machine and port) are passed over, said once on standard error,
// and so is a silent peer after NET_SILENT_CONNECT_POLLS polls. The peer's
// first select word connects too (a peer that has connected sends no more
// connect packets): one with the tag of the first period an extended peer;
// any other word a plain peer whose connect packets came without both forms,
// or one whose word is no tag, and that word is then the peer's word of the
// first period. A word whose tag tells a later period, from a peer not heard
// connecting, is still in an earlier exchange, which it gives up in time,
// and then sends its connect packets again. A start packet never connects.
NetConnect PollNetConnect();

// Whether a word of this machine's player, following `previous` (the word of
// the period before), would decide a character or stage locked here.
using SelectDecideCheck = std::function<bool(InputWord word, InputWord previous)>;
// Select screen, on frames where its counter mod N is 0: reads the local pad
// into `netSelectLocalInput` and sends it. A word with a decide press
// (INPUT_Z) that `decideLocked` finds locked is dropped, the word sent as 0;
// the result is true then, and the screen plays its error sound.
bool SendSelectInput(const SelectDecideCheck& decideLocked = {});
// Select screen, on frames where its counter mod N is N - 1: waits for the
// peer's word of this period (3-second tries, a resend request after the
// first two, the third time-out clears `netConnected`; a try lasts its 3
// seconds however many other packets come in it), then puts it and
// `netSelectLocalInput` into `inputWords`, so both machines apply the pair on
// the same frame. No packet is answered with more than one: a request from
// an extended peer gets this side's word of the period it names, this one or
// the one before, and nothing for another period (with a plain peer, this
// period's word), a peer still sending the connect packets of this session
// gets the first period's word, and a try sends one resend request at once
// at most (for a damaged word, one of a later period, or a peer's request
// once this side's own word is overdue) besides the one of its time-out. The
// peer's word of the next period, which comes when this side's word got
// through and the peer's was lost, is kept and taken by the next wait. A
// connect packet of the peer's game started anew ends the wait with
// `netSelectPeerRestarted`.
// Once this screen has decided the match (`matchDecided`), the words no
// longer change it, and the peer's start packet also ends the wait: the peer
// has left its screen for the battle with the same match (it leaves only
// after words that this side sent once it had decided too). That sets
// `netSelectPeerLeft`, and the peer's word stays 0.
void ReceiveSelectInput(bool matchDecided = false);

// The last step of a network battle's start: sends NT_COMMAND_START every
// NET_HANDSHAKE_PAUSE_MS until the peer's comes (only that ends it: a peer
// already in its battle answers start packets), drops one more packet, and
// clears the pending packets and the samples. A request for a select-screen
// word is answered as on the select screen, with one word: a peer still there
// may be waiting for this side's last word. After NET_HANDSHAKE_SILENCE_MS
// without the peer's start packet, or on a connect packet of the peer's game
// started anew, it gives the peer up (NetClose) and the battle starts
// disconnected. It calls `pumpMessages` between its polls; false when that
// asks the program to end, the socket is closed or the peer was given up.
bool RunStartHandshake(const std::function<bool()>& pumpMessages);

// Sampling on battle frames with battleFrame mod N = 0: keeps the local word
// for resend requests and, while connected, sends {battleFrame, word, word}.
// A frame beyond the 16-bit frame field is not sent.
void SendInputSample(int32_t battleFrame, InputWord sample);

// After this machine's battle is over the peer may still be waiting for its
// last samples (the packets may have been lost): sends the last two samples
// again at once and after a second, unasked, and answers the peer's resend
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
// most about 11 seconds. A data packet outside the frame window, with unequal
// copies or with a frame check that does not fit is damaged: the awaited frame
// is asked for at once with NT_COMMAND_BROKEN (a late duplicate of a word
// already taken is not). The peer's start packet is answered with one of
// this side's.
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
