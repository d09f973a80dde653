// One side of a network battle, headless, for the two-process tests: the
// engine on the null device in a temporary program folder that holds the
// generated data set (exit status 8 when it is missing), the match that the
// network select screen leaves behind (kirune against kirune on stage 1,
// connected), then the real battle scene frame by frame, its whole picture
// drawn, with this side's keys from a script, to the battle's end. It writes
// the hash of the battle state after every frame (one hexadecimal line each)
// and the replay file the result screen would save, and prints the outcome.
//
// With --select it starts on the network select screen instead, as a player
// does: the game opens its socket from its config, connects, and this side's
// scripted keys choose the characters and the stage with the peer's; then the
// versus screen, the network battle and the same outputs follow. Options
// after its arguments, for the tests of peers that are lost and come back:
// --paced runs every frame at the game's 60 a second (else only the frames
// spent connecting take a frame's time); --freeze-at select|versus stops the
// game (it sends and reads nothing more, as if killed) once it has seen the
// peer decide its character, or on entering the versus screen, and prints
// "frozen", to be killed; --rejoin makes a battle that lost its peer leave by
// its menu to the title, and a side back at the title ("back at the title")
// choose network play once more, whose match it then plays. A network
// battle's start prints "start handshake" and, once it is over, "handshake
// ended after MS ms connected 0|1". These lines go to standard error.
//
// With --match it plays one side of a match of the select harness
// (select_harness): a SelectPlayer of the match's seed at this machine's keys,
// from the moment it enters the network select screen, frames at the game's
// 60 a second, into the battle for its first kMatchBattleFrames frames, whose
// hashes it writes; it prints how the match ended for this side ("outcome
// battle ..." with the characters, colours and stage, "outcome title", or
// "outcome stuck ..." when it ended nowhere in time).
//
// With --playback it plays a replay file through the battle scene instead and
// writes the same hashes, which must be those of the recorded battle.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "engine/core/math.h"
#include "engine/devices/network.h"
#include "game/arena/battle_state.h"
#include "game/arena/player_record.h"
#include "game/battle/battle_menu.h"
#include "game/battle/battle_scene.h"
#include "game/flow/net_exchange.h"
#include "game/flow/replay_file.h"
#include "game/flow/run_state.h"
#include "game/flow/save_files.h"
#include "game/screens/select_screen.h"
#include "tests/support/battle_hash.h"
#include "tests/support/battle_run.h"
#include "tests/tools/netrelay/select_player.h"

namespace {

// A battle lasts at most 99 timer units of 80 frames, its countdown and its
// leaving transition; anything longer has gone wrong.
constexpr int kFrameLimit = 9000;
// The select and versus screens: waiting for the peer, choosing, fading.
constexpr int kSelectFrameLimit = 3000;

// A word held for `frames` frames from frame `at` of the script's period;
// TOWARD stands for the arrow toward the opponent.
struct Hold {
    int32_t at;
    int32_t frames;
    InputWord word;
};
constexpr InputWord TOWARD = 0x8000;

// Side 0 closes in firing shots; side 1 fires now and then and dashes up.
// Neither presses T: a connected match has no menu. Kirune against kirune,
// this ends in a knock-out within about 2,500 frames.
constexpr Hold kSide0Script[] = {
    {0, 2, INPUT_Z | TOWARD},
    {2, 2, TOWARD},
};
constexpr int32_t kSide0Period = 4;
constexpr Hold kSide1Script[] = {
    {0, 2, INPUT_Z},
    {16, 2, INPUT_Z},
    {32, 2, INPUT_Z},
    {45, 6, INPUT_V | INPUT_UP},
};
constexpr int32_t kSide1Period = 70;

template <size_t N>
InputWord Scripted(const Hold (&script)[N], int32_t period, int32_t frame) {
    for (const Hold& hold : script) {
        if (frame % period >= hold.at && frame % period < hold.at + hold.frames) return hold.word;
    }
    return 0;
}

// This machine's word for a frame; nothing once the battle is over.
InputWord ScriptedWord(int side, int32_t frame) {
    if (battleOver) return 0;
    InputWord word = side == 0 ? Scripted(kSide0Script, kSide0Period, frame)
                               : Scripted(kSide1Script, kSide1Period, frame);
    if (word & TOWARD) {
        const bool right = players[side].x < players[1 - side].x;
        word = static_cast<InputWord>((word & ~TOWARD) | (right ? INPUT_RIGHT : INPUT_LEFT));
    }
    return word;
}

// On the select screen the words that follow the connection tell the peer
// that this side has connected; here a second of connect packets does. Without
// them a peer whose reads missed this side's last connect packet (the relay
// forwards to a peer only once it has heard from it) would wait for this
// side's first start packet, which comes only once the battle's pictures are
// loaded, and then load its own while this side's start handshake waits.
void TellConnected() {
    for (int frame = 0; frame < 60; ++frame) {
        SendConnectPacket();
        std::this_thread::sleep_for(std::chrono::milliseconds(16));
    }
}

// The select screens' connect step, one poll a frame, between two of this
// game's peers, which use its extensions. The peer's start packet also means
// it has read ours: it has gone on to its battle and sends no more connect
// packets.
bool Connect() {
    netGameTag = 1;
    for (int tries = 0; tries < 2000; ++tries) {
        SendConnectPacket();
        uint8_t bytes[NET_PACKET_SIZE];
        if (NetReceive(bytes, NET_PACKET_SIZE, 1)) {
            const NetPacket packet = DecodeNetPacket(bytes);
            if (packet.frame == NT_COMMAND_CONNECT || packet.frame == NT_COMMAND_START) {
                netConnected = 1;
                netPeerExtended = true;
                TellConnected();
                return true;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(16));
    }
    return false;
}

// The game as the program starts it, on the data set: the battles draw their
// fighters, stage and effects as a player's game does.
const test::AsTheProgram kWithData = test::OnTheDataSet();
constexpr int kNoDataSet = 8;

// The engine seeds the generator with the clock at start-up, and the start
// banner's particles draw from it before the battle seeds it: they differ
// from machine to machine, by design. Both peers and the playback start from
// this seed instead, so that their whole battle states can be compared.
constexpr unsigned kStartUpSeed = 20050220;

// Runs the battle to its end and returns the state hash after every frame;
// *peerLost tells whether a network battle lost its peer before its end.
std::vector<uint64_t> RunToEnd(test::BattleRun& run, bool* peerLost) {
    run.UseRealDrawing(true);
    *peerLost = false;
    for (int frames = 0; frames < kFrameLimit && run.RunFrame(); ++frames) {
        run.scene().device()->ClearCalls();
        if (gameMode == MODE_VS_NETWORK && !netConnected) *peerLost = true;
    }
    return run.hashes();
}

bool WriteHashes(const std::vector<uint64_t>& hashes, const char* path) {
    FILE* file = std::fopen(path, "w");
    if (!file) return false;
    for (const uint64_t hash : hashes) std::fprintf(file, "%016llx\n", static_cast<unsigned long long>(hash));
    return std::fclose(file) == 0;
}

void PrintOutcome(bool ended, size_t frames) {
    std::printf("ended %d frames %zu battleFrame %d over %d timer %d winner %d life %d %d states %d %d score %d\n",
                ended, frames, battleFrame, battleOver, battleTimer, winnerSide, players[0].life, players[1].life,
                players[0].state, players[1].state, battleResult.score);
}

// The match the network select screen leaves: kirune on both sides, so
// side 1 gets the other colour, on stage 1; the battle seeds with 0.
constexpr test::BattleSetup kNetworkMatch{{1, 1}, {0, 1}, 1, MODE_VS_NETWORK, DIFFICULTY_NORMAL, 0};

// The replay file of the battle, as the result screen saves it, copied to
// `path`; the date is fixed so that both peers write the same bytes.
bool SaveReplay(const char* path) {
    SetLocalTimeSource([] { return platform::LocalTime{2026, 3, 5, 7, 9}; });
    const PlayerRecord& winner = players[winnerSide];
    if (!MakeReplayFileName(replayFileName) ||
        !WriteReplayFile({winnerSide, winner.bestComboDamage, winner.bestComboHits})) {
        return false;
    }
    std::string saved = replayFileName;
    std::replace(saved.begin(), saved.end(), '\\', '/');
    std::error_code error;
    std::filesystem::copy_file(saved, path, std::filesystem::copy_options::overwrite_existing, error);
    return !error;
}

int PlayNetworkSide(int side, uint16_t port, uint16_t peerPort, uint8_t slowLine, const char* hashPath,
                    const char* replayPath) {
    test::BattleRun run{kWithData};
    if (!run.scene().hasDataSet()) return kNoDataSet;
    NetSettings settings{"127.0.0.1", port, peerPort, side, slowLine};
    if (!NetOpen(settings)) return 3;
    if (!Connect()) return 4;
    // This machine's keys and first joystick play its side.
    run.SetScript([side](int pad, int32_t frame) { return pad == 0 ? ScriptedWord(side, frame) : InputWord{0}; });
    SeedRandom(kStartUpSeed);
    run.Start(kNetworkMatch);
    bool peerLost = false;
    const std::vector<uint64_t> hashes = RunToEnd(run, &peerLost);
    PrintOutcome(run.ended(), run.hashes().size());
    std::printf("peer lost %d\n", peerLost);
    std::fflush(stdout);
    if (!WriteHashes(hashes, hashPath)) return 6;
    return SaveReplay(replayPath) ? 0 : 7;
}

// The game's socket, bound to a port of the test's choosing and sending to the
// relay's port: two peers on one machine cannot share config.dat's one port.
class RedirectedSocket final : public platform::UdpSocket {
public:
    RedirectedSocket(uint16_t bindPort, uint16_t peerPort)
        : inner_(platform::CreateUdpSocket()), bindPort_(bindPort), peerPort_(peerPort) {}
    bool Open(uint16_t) override { return inner_->Open(bindPort_); }
    void Close() override { inner_->Close(); }
    bool IsOpen() const override { return inner_->IsOpen(); }
    uint16_t LocalPort() const override { return inner_->LocalPort(); }
    bool SendTo(const platform::Ipv4Endpoint& to, const void* data, size_t length) override {
        return inner_->SendTo({to.address, peerPort_}, data, length);
    }
    int ReceiveFrom(void* buffer, size_t size, platform::Ipv4Endpoint* from) override {
        return inner_->ReceiveFrom(buffer, size, from);
    }
    platform::SocketWait WaitReadable(uint32_t* remainingMs) override { return inner_->WaitReadable(remainingMs); }

private:
    std::unique_ptr<platform::UdpSocket> inner_;
    uint16_t bindPort_, peerPort_;
};

// This side's keys on the network select screen, for the frame about to run.
// Both sides turn to kirune (side 1 turns once) and decide; side 1 takes both
// decisions back once on the stage ring; side 0 turns the ring on to stage 2,
// where side 1 decides. A word is sampled on the first frame of each period,
// and keys are pressed in every other period only, so each is a fresh press.
// The screen's state is the same on both machines at the same counter.
InputWord SelectScreenWord(int side) {
    static bool undone = false;
    const SelectScreenState& s = selectScreen;
    const auto interval = static_cast<int32_t>(netSendInterval);
    if (sceneNumber != SCENE_SELECT || sceneInitPending || !netConnected) return 0;
    if (s.netFrameCounter % interval != 0 || s.netFrameCounter / interval % 2 != 0) return 0;
    constexpr int32_t kStageTwo = 11;
    if (s.state == SELECT_CHARACTER && s.cursor[side] < SELECT_DECIDED_OFFSET) {
        return s.cursor[side] == 0 ? INPUT_Z : INPUT_LEFT;
    }
    if (s.state != SELECT_STAGE) return 0;
    if (side == 1 && !undone) {
        undone = true;
        return INPUT_X;
    }
    if (side == 0) return s.stageCursor == kStageTwo ? 0 : INPUT_RIGHT;
    return s.stageCursor == kStageTwo ? INPUT_Z : 0;
}

// The game chooses network play on its title menu: the select screen opens
// the socket (bound to `port`, sending to `peerPort`) with this side and line.
void EnterNetworkSelect(int side, uint16_t port, uint16_t peerPort, uint8_t slowLine) {
    SetNetSocketFactory([port, peerPort] { return std::make_unique<RedirectedSocket>(port, peerPort); });
    std::strcpy(config.peerHost, "127.0.0.1");
    config.localSide = side;
    config.slowLine = slowLine;
    gameMode = MODE_VS_NETWORK;
    sceneNumber = SCENE_SELECT;
    sceneInitPending = 1;
}

// What a --select side does besides its keys, from its options.
struct SelectRun {
    bool paced = false;
    int freezeScene = -1;  // SCENE_SELECT or SCENE_VERSUS: stops there
    bool rejoin = false;
};

bool ParseSelectRun(int argc, char** argv, SelectRun* options) {
    for (int i = 0; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "--paced") {
            options->paced = true;
        } else if (name == "--rejoin") {
            options->rejoin = true;
        } else if (name == "--freeze-at" && i + 1 < argc) {
            const std::string where = argv[++i];
            if (where != "select" && where != "versus") return false;
            options->freezeScene = where == "select" ? SCENE_SELECT : SCENE_VERSUS;
        } else {
            return false;
        }
    }
    return true;
}

// Whether the game stops here: on the select screen once the peer's
// character is decided (both screens are then exchanging words), or on the
// versus screen, which this side reaches only after both decided the match.
bool FreezesNow(int side, int freezeScene) {
    if (freezeScene == SCENE_VERSUS) return sceneNumber == SCENE_VERSUS;
    const SelectScreenState& s = selectScreen;
    return freezeScene == SCENE_SELECT && sceneNumber == SCENE_SELECT && !sceneInitPending && netConnected &&
           (s.state == SELECT_CHARACTER || s.state == SELECT_STAGE) && s.cursor[1 - side] >= SELECT_DECIDED_OFFSET;
}

// Stands still, as a game that hangs or is about to be killed: no frame, no
// packet. The test kills it; one that forgets to ends after a while.
[[noreturn]] void Freeze() {
    std::fprintf(stderr, "frozen on the %s screen\n", sceneNumber == SCENE_VERSUS ? "versus" : "select");
    std::this_thread::sleep_for(std::chrono::minutes(3));
    std::_Exit(9);
}

// The way out of a battle that lost its peer: T opens the menu, the arrows
// go to its last entry (the title) and Z takes it, each a fresh press.
InputWord LeaveByMenu(int frame) {
    if (frame % 2 != 0) return 0;
    if (!battlePaused) return INPUT_T;
    if (battleMenuState != BATTLE_MENU_CHOOSING) return 0;
    return battleMenuCursor == 2 ? INPUT_Z : INPUT_DOWN;
}

constexpr auto kFrameTime = std::chrono::microseconds(16667);

int64_t SteadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int PlayFromSelect(int side, uint16_t port, uint16_t peerPort, uint8_t slowLine, const char* hashPath,
                   const char* replayPath, const SelectRun& options) {
    test::BattleRun run{kWithData};
    if (!run.scene().hasDataSet()) return kNoDataSet;
    EnterNetworkSelect(side, port, peerPort, slowLine);
    // The select screen, the versus screen, then the battle, whose frames are
    // hashed, to its end.
    bool peerLost = false, rejoined = false;
    std::vector<uint64_t> hashes;
    auto nextFrame = std::chrono::steady_clock::now();
    for (int frames = 0; frames < kSelectFrameLimit + kFrameLimit; ++frames) {
        if (sceneNumber == SCENE_TITLE) {
            if (!options.rejoin || rejoined) break;
            rejoined = true;
            std::fprintf(stderr, "back at the title\n");
            EnterNetworkSelect(side, port, peerPort, slowLine);
            hashes.clear();
            peerLost = false;
        }
        if (options.paced) {
            // The game's frame limiter: 60 frames a second, none made up for.
            std::this_thread::sleep_until(nextFrame);
            nextFrame = std::max(nextFrame + kFrameTime, std::chrono::steady_clock::now());
        }
        if (FreezesNow(side, options.freezeScene)) Freeze();
        const bool inBattle = sceneNumber == SCENE_BATTLE;
        if (inBattle && sceneInitPending) SeedRandom(kStartUpSeed);  // as the playback starts
        const bool leaving = inBattle && options.rejoin && !netConnected && !sceneInitPending;
        run.Press(0, leaving    ? LeaveByMenu(frames)
                     : inBattle ? ScriptedWord(side, sceneInitPending ? 0 : battleFrame)
                                : SelectScreenWord(side));
        // Frames cost no time here: while connecting they take a frame's time,
        // as on screen, so that a peer that starts late is still looked for.
        if (!options.paced && sceneNumber == SCENE_SELECT && !netConnected) {
            std::this_thread::sleep_for(std::chrono::milliseconds(16));
        }
        // The battle's first frame runs its start handshake.
        const bool handshake = inBattle && sceneInitPending && netConnected;
        const int64_t handshakeStart = SteadyMs();
        if (handshake) std::fprintf(stderr, "start handshake\n");
        // Each change of scene, select state or connection goes to stderr: a
        // match that stalls shows there where each side stopped.
        const int sceneBefore = sceneNumber;
        const int stateBefore = selectScreen.state;
        const int connectedBefore = netConnected;
        run.scene().RunFrames(1);
        run.scene().device()->ClearCalls();
        if (handshake) {
            std::fprintf(stderr, "handshake ended after %lld ms connected %d\n",
                         static_cast<long long>(SteadyMs() - handshakeStart), netConnected);
        }
        if (sceneNumber != sceneBefore || selectScreen.state != stateBefore || netConnected != connectedBefore) {
            std::fprintf(stderr, "side %d frame %d scene %d->%d state %d->%d connected %d->%d counter %d period %u\n", side, frames,
                         sceneBefore, sceneNumber, stateBefore, selectScreen.state, connectedBefore, netConnected,
                         selectScreen.netFrameCounter, netSelectPeriod);
        }
        if (!inBattle) continue;
        hashes.push_back(test::HashBattleState());
        // The end closes the socket; the menu leads to the title.
        if (sceneNumber != SCENE_BATTLE && sceneNumber != SCENE_TITLE) break;
        if (!netConnected) peerLost = true;
    }
    PrintOutcome(sceneNumber == SCENE_RESULT, hashes.size());
    std::printf("peer lost %d\n", peerLost);
    std::printf("characters %d %d colours %d %d stage %d\n", players[0].characterId, players[1].characterId,
                players[0].colour, players[1].colour, stageNumber);
    std::fflush(stdout);
    if (!WriteHashes(hashes, hashPath)) return 6;
    return SaveReplay(replayPath) ? 0 : 7;
}

// The battle frames a harness match compares, those it plays on after them
// (so that the peer, at most an exchange behind, gets this side's samples for
// the compared frames while this side still plays), and how long a side may
// take from its start to the end of its match before it counts as stuck.
constexpr size_t kMatchBattleFrames = 600;
constexpr size_t kMatchFramesAfter = 12;
constexpr auto kMatchTimeLimit = std::chrono::seconds(420);

// Where this side was last seen, for the watchdog: a match that hangs inside
// a network wait is reported from another thread.
std::atomic<int> seenScene{-1}, seenState{-1}, seenConnected{0}, seenBattleFrame{0};

void ReportStuckAfter(std::chrono::steady_clock::time_point deadline) {
    std::thread([deadline] {
        std::this_thread::sleep_until(deadline);
        std::printf("outcome stuck scene %d state %d connected %d battle frame %d\n", seenScene.load(),
                    seenState.load(), seenConnected.load(), seenBattleFrame.load());
        std::fflush(stdout);
        std::_Exit(5);
    }).detach();
}

int PlayMatch(int side, uint16_t port, uint16_t peerPort, uint8_t slowLine, uint32_t seed, int64_t startMs,
              const char* hashPath) {
    SelectPlayer player(seed, side);
    std::fprintf(stderr, "side %d player: %s\n", side, player.describe());
    const auto start = std::chrono::steady_clock::time_point(std::chrono::milliseconds(startMs));
    std::this_thread::sleep_until(start + std::chrono::milliseconds(player.enterMs()));
    ReportStuckAfter(std::chrono::steady_clock::now() + kMatchTimeLimit);
    test::BattleRun run{kWithData};
    if (!run.scene().hasDataSet()) return kNoDataSet;
    EnterNetworkSelect(side, port, peerPort, slowLine);
    std::vector<uint64_t> hashes;
    auto nextFrame = std::chrono::steady_clock::now();
    while (sceneNumber != SCENE_TITLE && hashes.size() < kMatchBattleFrames + kMatchFramesAfter) {
        // The game's frame limiter: 60 frames a second, none made up for.
        std::this_thread::sleep_until(nextFrame);
        nextFrame = std::max(nextFrame + kFrameTime, std::chrono::steady_clock::now());
        const bool inBattle = sceneNumber == SCENE_BATTLE;
        if (inBattle && sceneInitPending) SeedRandom(kStartUpSeed);  // as the playback starts
        run.Press(0, inBattle ? ScriptedWord(side, sceneInitPending ? 0 : battleFrame)
                              : player.Keys(SteadyMs() - startMs));
        const int sceneBefore = sceneNumber, stateBefore = selectScreen.state, connectedBefore = netConnected;
        run.scene().RunFrames(1);
        run.scene().device()->ClearCalls();
        seenScene = sceneNumber;
        seenState = selectScreen.state;
        seenConnected = netConnected;
        seenBattleFrame = battleFrame;
        if (sceneNumber != sceneBefore || selectScreen.state != stateBefore || netConnected != connectedBefore) {
            std::fprintf(stderr, "side %d at %lld ms scene %d->%d state %d->%d connected %d->%d counter %d\n", side,
                         static_cast<long long>(SteadyMs() - startMs), sceneBefore, sceneNumber, stateBefore,
                         selectScreen.state, connectedBefore, netConnected, selectScreen.netFrameCounter);
        }
        if (inBattle) hashes.push_back(test::HashBattleState());
    }
    if (sceneNumber == SCENE_TITLE) {
        std::printf("outcome title\n");
    } else {
        // The peer may still need this side's last samples.
        AnswerResendRequestsUntilSilent([] { return true; });
        std::printf("outcome battle %d %d %d %d stage %d connected %d\n", players[0].characterId,
                    players[1].characterId, players[0].colour, players[1].colour, stageNumber, netConnected);
    }
    std::fflush(stdout);
    hashes.resize(std::min(hashes.size(), kMatchBattleFrames));
    return WriteHashes(hashes, hashPath) ? 0 : 6;
}

int PlayBack(const char* replayPath, const char* hashPath) {
    test::BattleRun run{kWithData};
    if (!run.scene().hasDataSet()) return kNoDataSet;
    SeedRandom(kStartUpSeed);
    if (!run.StartPlayback(replayPath)) return 3;
    bool peerLost = false;
    const std::vector<uint64_t> hashes = RunToEnd(run, &peerLost);
    PrintOutcome(run.ended(), run.hashes().size());
    return WriteHashes(hashes, hashPath) ? 0 : 6;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--playback") == 0) return PlayBack(argv[2], argv[3]);
    if (argc == 9 && std::strcmp(argv[1], "--match") == 0) {
        return PlayMatch(std::atoi(argv[2]), static_cast<uint16_t>(std::atoi(argv[3])),
                         static_cast<uint16_t>(std::atoi(argv[4])), static_cast<uint8_t>(std::atoi(argv[5])),
                         static_cast<uint32_t>(std::strtoul(argv[6], nullptr, 10)), std::atoll(argv[7]), argv[8]);
    }
    SelectRun selectRun;
    if (argc >= 8 && std::strcmp(argv[1], "--select") == 0 && ParseSelectRun(argc - 8, argv + 8, &selectRun)) {
        return PlayFromSelect(std::atoi(argv[2]), static_cast<uint16_t>(std::atoi(argv[3])),
                              static_cast<uint16_t>(std::atoi(argv[4])), static_cast<uint8_t>(std::atoi(argv[5])),
                              argv[6], argv[7], selectRun);
    }
    if (argc != 7) {
        std::fprintf(stderr,
                     "usage: battle_peer SIDE PORT PEER_PORT SLOW_LINE HASH_FILE REPLAY_FILE  (PORT 0: any)\n"
                     "       battle_peer --select SIDE PORT PEER_PORT SLOW_LINE HASH_FILE REPLAY_FILE\n"
                     "                   [--paced] [--freeze-at select|versus] [--rejoin]\n"
                     "       battle_peer --match SIDE PORT PEER_PORT SLOW_LINE SEED START_MS HASH_FILE\n"
                     "       battle_peer --playback REPLAY_FILE HASH_FILE\n");
        return 2;
    }
    return PlayNetworkSide(std::atoi(argv[1]), static_cast<uint16_t>(std::atoi(argv[2])),
                           static_cast<uint16_t>(std::atoi(argv[3])), static_cast<uint8_t>(std::atoi(argv[4])),
                           argv[5], argv[6]);
}
