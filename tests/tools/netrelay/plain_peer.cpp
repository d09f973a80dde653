// plain_peer: side 1 of a network match that speaks only the plain packet
// format: 6-byte little-endian datagrams {frame or command, value, copy},
// connect packets {-11, 0, 0}, select words {-30, word, 0}, requests {-40,
// frame, 0} and {-50, frame, 0}, start packets {-13, 0, 0} and data packets
// {frame, word, word}. Its connect step, select exchange, start handshake and
// battle exchange are its own, as the packet tables and their rules give
// them; none of the game's network code runs. The game's scenes give it the
// picture and the battle: its select screen is its own small copy of the
// network select rules (both wheels, the stage ring), then the game's versus
// screen and battle scene run off the network, each battle frame's words
// put in by this program, so that the state hash of every battle frame can
// be compared with the other machine's.
//
//   plain_peer PEER_PORT SLOW_LINE HASH_FILE
//
// It binds a port the system chooses, sends to 127.0.0.1:PEER_PORT (the
// relay's), and prints how the match went ("outcome battle ..." or "outcome
// failed ..."). Its keys: on the select screen those of battle_peer --select's
// side 1 (turn to kirune, decide, take the decisions back once on the stage
// ring, decide stage 2 once side 0 has turned the ring there); in battle
// battle_peer's side 1 script.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "engine/core/math.h"
#include "engine/devices/network.h"
#include "game/arena/battle_state.h"
#include "game/arena/player_record.h"
#include "game/battle/battle_scene.h"
#include "game/flow/input_words.h"
#include "game/flow/replay_file.h"
#include "game/flow/run_state.h"
#include "platform/udp_socket.h"
#include "tests/support/battle_hash.h"
#include "tests/support/battle_run.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int16_t kConnect = -11, kStart = -13, kInput = -30, kWreck = -40, kBroken = -50;

struct Packet {
    int16_t frame = 0;
    uint16_t value = 0, copy = 0;
};

// The line to the other machine: one socket, every datagram of 6 bytes from
// 127.0.0.1 taken, anything else dropped.
class Line {
public:
    bool Open(uint16_t peerPort) {
        peerPort_ = peerPort;
        return socket_->Open(0);
    }
    void Send(Packet p) {
        const uint16_t fields[3] = {static_cast<uint16_t>(p.frame), p.value, p.copy};
        uint8_t bytes[6];
        for (int i = 0; i < 3; ++i) {
            bytes[2 * i] = static_cast<uint8_t>(fields[i] & 0xFF);
            bytes[2 * i + 1] = static_cast<uint8_t>(fields[i] >> 8);
        }
        socket_->SendTo({platform::ParseIpv4Address("127.0.0.1"), peerPort_}, bytes, sizeof bytes);
        ++sent_;
    }
    // A packet before `deadline`, or none.
    std::optional<Packet> Receive(Clock::time_point deadline) {
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            uint32_t wait = left > 0 ? static_cast<uint32_t>(left) : 0;
            if (socket_->WaitReadable(&wait) != platform::SocketWait::READABLE) return std::nullopt;
            uint8_t bytes[16];
            platform::Ipv4Endpoint from{};
            if (socket_->ReceiveFrom(bytes, sizeof bytes, &from) != 6) continue;
            const auto field = [&bytes](int i) { return static_cast<uint16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8); };
            return Packet{static_cast<int16_t>(field(0)), field(1), field(2)};
        }
    }
    std::optional<Packet> Poll() { return Receive(Clock::now()); }
    long sent() const { return sent_; }

private:
    std::unique_ptr<platform::UdpSocket> socket_ = platform::CreateUdpSocket();
    uint16_t peerPort_ = 0;
    long sent_ = 0;
};

Line line;
int32_t interval = 2;  // netSendInterval
constexpr int kSide = 1, kOther = 0;

Clock::time_point In(int ms) { return Clock::now() + std::chrono::milliseconds(ms); }

// Connecting: a connect packet a frame and one datagram read a frame, until
// the other machine's connect packet comes.
bool Connect() {
    for (int frame = 0; frame < 3000; ++frame) {
        line.Send({kConnect, 0, 0});
        const std::optional<Packet> p = line.Poll();
        if (p && p->frame == kConnect) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(16));
    }
    return false;
}

// The select screen's rules, both sides from their words.
struct SelectRules {
    enum State { CHARACTER, STAGE, DECIDED } state = CHARACTER;
    int32_t cursor[2] = {0, 1};  // +100 once decided
    int32_t stageCursor = 9;
    InputWord previous[2] = {0, 0};
    bool undone = false;  // side 1 has taken the decisions back once

    static constexpr int kCharacters = 8;
    bool Pressed(int side, InputWord word, InputWord bit) const { return (word & bit) && !(previous[side] & bit); }

    void Apply(const InputWord words[2]) {
        if (state == CHARACTER) {
            const InputWord forward[2] = {INPUT_LEFT, INPUT_RIGHT}, backward[2] = {INPUT_RIGHT, INPUT_LEFT};
            for (int s = 0; s < 2; ++s) {
                if (cursor[s] >= 100) continue;
                if (Pressed(s, words[s], forward[s])) cursor[s] = (cursor[s] + 1) % kCharacters;
                if (Pressed(s, words[s], backward[s])) cursor[s] = (cursor[s] + kCharacters - 1) % kCharacters;
            }
            for (int s = 0; s < 2; ++s) {
                if (cursor[s] < 100 && Pressed(s, words[s], INPUT_Z)) cursor[s] += 100;
            }
            for (int s = 0; s < 2; ++s) {
                if (Pressed(s, words[s], INPUT_X) && cursor[s] >= 100) cursor[s] %= 100;
            }
            if (cursor[0] >= 100 && cursor[1] >= 100) state = STAGE;
        } else if (state == STAGE) {
            const bool right = Pressed(0, words[0], INPUT_RIGHT) || Pressed(1, words[1], INPUT_RIGHT);
            const bool left = Pressed(0, words[0], INPUT_LEFT) || Pressed(1, words[1], INPUT_LEFT);
            if (right && ++stageCursor == 12) stageCursor -= 9;
            if (left && --stageCursor < 3) stageCursor += 9;
            if (Pressed(0, words[0], INPUT_X) || Pressed(1, words[1], INPUT_X)) {
                cursor[0] %= 100;
                cursor[1] %= 100;
                state = CHARACTER;
            } else if (Pressed(0, words[0], INPUT_Z) || Pressed(1, words[1], INPUT_Z)) {
                state = DECIDED;  // the stages the scripts choose are unlocked everywhere
            }
        }
        previous[0] = words[0];
        previous[1] = words[1];
    }

    // Side 1's keys for the period that starts at `counter`, as battle_peer's
    // side 1 presses them: every other period only, so each is a new press.
    InputWord Keys(int32_t counter) {
        if (counter / interval % 2 != 0) return 0;
        if (state == CHARACTER && cursor[kSide] < 100) return cursor[kSide] == 0 ? INPUT_Z : INPUT_LEFT;
        if (state != STAGE) return 0;
        if (!undone) {
            undone = true;
            return INPUT_X;
        }
        return stageCursor == 11 ? INPUT_Z : 0;
    }
};

const int32_t kStages[18] = {0, 1, 2, 3, 4, 5, 6, 8, 7, 0, 1, 2, 3, 4, 5, 6, 8, 7};

// One period's wait for the other machine's select word: three tries of 3
// seconds, a request after the first two; a request is answered with this
// period's word. A start packet once the match is decided: it has left.
enum class Wait { WORD, LEFT, LOST };
Wait ReceiveSelectWord(InputWord mine, bool decided, InputWord* word) {
    for (int tries = 1;; ++tries) {
        const auto deadline = In(3000);
        while (const std::optional<Packet> p = line.Receive(deadline)) {
            if (p->frame == kInput) {
                *word = p->value;
                return Wait::WORD;
            }
            if (p->frame == kWreck) line.Send({kInput, mine, 0});
            if (p->frame == kStart && decided) return Wait::LEFT;
        }
        if (tries == 3) return Wait::LOST;
        line.Send({kWreck, 0, 0});
    }
}

// The select screen from the connection to the decision: a frame counter
// from 1, this side's word sent on counters with counter mod N = 0, the pair
// applied on counters with counter mod N = N - 1. Once decided, this side
// goes to its handshake at once; the other machine takes its start packet
// as its leaving.
bool SelectMatch(SelectRules* rules) {
    InputWord mine = 0;
    auto next = Clock::now();
    for (int32_t counter = 1; counter < 20000; ++counter) {
        std::this_thread::sleep_until(next);
        next += std::chrono::microseconds(16667);
        if (counter % interval == 0) {
            mine = rules->Keys(counter);
            line.Send({kInput, mine, 0});
        }
        if (counter % interval != interval - 1 || counter < interval) continue;
        InputWord theirs = 0;
        if (ReceiveSelectWord(mine, false, &theirs) != Wait::WORD) return false;
        InputWord words[2];
        words[kSide] = mine;
        words[kOther] = theirs;
        rules->Apply(words);
        if (rules->state == SelectRules::DECIDED) return true;
    }
    return false;
}

// The start handshake: a start packet every 32 ms and one datagram read,
// until the other machine's start packet; then one more datagram dropped.
bool Handshake() {
    for (int tries = 0; tries < 2000; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(32));
        line.Send({kStart, 0, 0});
        const std::optional<Packet> p = line.Poll();
        if (p && p->frame == kStart) {
            for (int more = 0; more < 2000; ++more) {
                if (line.Receive(In(32))) return true;
                line.Send({kStart, 0, 0});
            }
            return false;
        }
    }
    return false;
}

// The battle exchange of the other side's word sampled on frame `expected`,
// on battle frame `battleFrame`: the kept packets first, else 1-second waits
// with a request after each, the 11th giving up. Old packets and commands
// answer requests from this side's samples; the awaited frame is taken when
// its copies agree, else asked for with {-50, frame, 0}; a later packet of a
// sampling frame at most two exchanges ahead is kept; any other frame number
// was damaged, and the awaited one is asked for.
class BattleExchange {
public:
    std::map<int32_t, InputWord> samples;  // this side's, by frame

    bool Receive(int32_t expected, int32_t battleFrame, InputWord* word) {
        if (const auto kept = pending_.find(expected); kept != pending_.end()) {
            *word = kept->second;
            pending_.erase(pending_.begin(), ++pending_.find(expected));
            return true;
        }
        for (int timeouts = 0; timeouts < 11;) {
            const auto deadline = In(1000);
            while (const std::optional<Packet> p = line.Receive(deadline)) {
                if (Take(*p, expected, battleFrame, word)) return true;
            }
            line.Send({kWreck, static_cast<uint16_t>(expected), 0});
            ++timeouts;
        }
        return false;
    }

    // After the battle: answers the other machine's requests until none has
    // come for two seconds.
    void AnswerUntilSilent() {
        for (auto deadline = In(2000); const std::optional<Packet> p = line.Receive(deadline);) {
            if (Answer(*p, INT32_MAX)) deadline = In(2000);
        }
    }

private:
    bool Answer(const Packet& p, int32_t battleFrame) {
        if (p.frame != kWreck && p.frame != kBroken) return false;
        if (p.value > battleFrame) return false;
        const auto sample = samples.find(p.value);
        if (sample == samples.end()) return false;
        line.Send({static_cast<int16_t>(p.value), sample->second, sample->second});
        return true;
    }

    bool Take(const Packet& p, int32_t expected, int32_t battleFrame, InputWord* word) {
        if (p.frame < expected) {
            Answer(p, battleFrame);
            return false;
        }
        if (p.frame == expected && p.value == p.copy) {
            *word = p.value;
            return true;
        }
        const bool ahead = p.frame > expected && p.frame % interval == 0 && p.frame <= expected + 2 * interval;
        if (ahead && p.value == p.copy) {
            if (!pending_.count(p.frame)) pending_[p.frame] = p.value;
            return false;
        }
        line.Send({kBroken, static_cast<uint16_t>(expected), 0});
        return false;
    }

    std::map<int32_t, InputWord> pending_;
};

// battle_peer's side 1: fires now and then and dashes up.
InputWord BattleKeys(int32_t frame) {
    if (battleOver) return 0;
    const int32_t t = frame % 70;
    if ((t < 2) || (t >= 16 && t < 18) || (t >= 32 && t < 34)) return INPUT_Z;
    if (t >= 45 && t < 51) return INPUT_V | INPUT_UP;
    return 0;
}

// As battle_peer seeds both peers before the battle.
constexpr unsigned kStartUpSeed = 20050220;

int Fail(const char* what) {
    std::printf("outcome failed %s\n", what);
    std::fflush(stdout);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: plain_peer PEER_PORT SLOW_LINE HASH_FILE\n");
        return 2;
    }
    interval = std::atoi(argv[2]) != 0 ? 3 : 2;
    // The battle samples this machine's side every `interval` frames; off the
    // network it sends nothing itself.
    netSendInterval = static_cast<uint32_t>(interval);
    netLocalSide = kSide;
    netConnected = 0;
    test::BattleRun run{test::OnTheDataSet()};
    if (!run.scene().hasDataSet()) return 8;
    if (!line.Open(static_cast<uint16_t>(std::atoi(argv[1])))) return 3;
    if (!Connect()) return Fail("to connect");
    SelectRules rules;
    if (!SelectMatch(&rules)) return Fail("on the select screen");

    // The match, as the select screen leaves it: the same character on both
    // sides gives side 1 the other colour.
    for (int s = 0; s < 2; ++s) {
        players[s].characterId = rules.cursor[s] % 100 + 1;
        players[s].colour = 0;
    }
    if (players[0].characterId == players[1].characterId) players[1].colour = 1;
    stageNumber = kStages[rules.stageCursor];
    gameMode = MODE_VS_NETWORK;
    replayPlayback = 0;
    ChangeScene(SCENE_VERSUS);
    if (!run.RunUntil([] { return sceneNumber == SCENE_BATTLE; })) return Fail("in the versus screen");
    if (!Handshake()) return Fail("in the start handshake");

    BattleExchange exchange;
    std::vector<uint64_t> hashes;
    bool lost = false;
    for (int frames = 0; frames < 9000 && sceneNumber == SCENE_BATTLE; ++frames) {
        if (sceneInitPending) SeedRandom(kStartUpSeed);
        const int32_t frame = sceneInitPending ? 0 : battleFrame;
        run.Press(0, BattleKeys(frame));
        if (frame % interval == interval - 1 && !lost) {
            const int32_t expected = frame - interval + 1;
            InputWord theirs = 0;
            if (exchange.Receive(expected, frame, &theirs)) {
                inputWords[kOther] = theirs;
                inputWords[kSide] = exchange.samples[expected];
            } else {
                lost = true;
            }
        }
        run.scene().RunFrames(1);
        run.scene().device()->ClearCalls();
        if (frame % interval == 0) {
            // The game sampled this machine's pad into netInput, masked for the countdown.
            const InputWord sample = players[kSide].netInput;
            exchange.samples[frame] = sample;
            line.Send({static_cast<int16_t>(frame), sample, sample});
        }
        hashes.push_back(test::HashBattleState());
    }
    exchange.AnswerUntilSilent();
    FILE* file = std::fopen(argv[3], "w");
    if (!file) return 6;
    for (const uint64_t hash : hashes) std::fprintf(file, "%016llx\n", static_cast<unsigned long long>(hash));
    std::fclose(file);
    std::printf("outcome battle %d %d %d %d stage %d frames %zu lost %d winner %d sent %ld\n", players[0].characterId,
                players[1].characterId, players[0].colour, players[1].colour, stageNumber, hashes.size(), lost,
                winnerSide, line.sent());
    std::fflush(stdout);
    return lost ? 1 : 0;
}
