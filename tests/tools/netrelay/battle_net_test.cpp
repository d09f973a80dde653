// Network battles between two processes on this machine: two battle peers
// play the same scripted battle to its end, once directly over loopback and
// once through a relay that loses, duplicates, reorders and corrupts
// datagrams; and, through such relays with three seeds, whole matches from the
// network select screen, where each side's keys choose the characters and the
// stage. Both peers of a match must compute the same battle frame by
// frame and save the same replay, and that replay, played back, must give the
// recorded battle again.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tests/tools/netrelay/child_process.h"

namespace {

struct Peer {
    Child process;
    std::string hashes, replay;
};

// One match: two battle peers, with a relay between them or none.
struct Match {
    std::string name;
    Child relay;
    Peer a, b;
};

// A peer that starts in its battle, or with `fromSelect` on the network
// select screen.
Peer StartPeer(const test::TempDir& dir, const std::string& prefix, const std::string& side, const std::string& port,
               const std::string& peerPort, const std::string& slowLine, bool fromSelect = false) {
    Peer peer;
    peer.hashes = dir.file(prefix + side + "_hashes.txt");
    peer.replay = dir.file(prefix + side + ".rpl");
    std::vector<std::string> args = {BATTLE_PEER_PATH, side, port, peerPort, slowLine, peer.hashes, peer.replay};
    if (fromSelect) args.insert(args.begin() + 1, "--select");
    peer.process = Spawn(args, dir.file(prefix + side + "_out.txt"));
    return peer;
}

Match StartDirectMatch(const test::TempDir& dir) {
    Match match{"direct", {}, {}, {}};
    const std::vector<std::string> ports = FreePorts();
    if (ports.empty()) return match;
    match.a = StartPeer(dir, "direct", "0", ports[0], ports[1], "0");
    match.b = StartPeer(dir, "direct", "1", ports[1], ports[0], "0");
    return match;
}

// The relay's faults come from its seed; the chances keep lost packets and
// damaged frame numbers (one second of waiting each) to a few. The peers bind
// ports the system chooses, which the relay learns from their first datagrams.
// The test ends the relay once both peers have ended; its own limit on
// silence only ends a relay whose test was lost, since both peers may be
// silent for long (a loaded machine loading a battle's pictures).
Match StartRelayedMatch(const test::TempDir& dir, const std::string& name, const std::string& seed,
                        const std::string& reorder, const std::string& corrupt, const std::string& slowLine,
                        bool fromSelect) {
    Match match{name, {}, {}, {}};
    match.relay = Spawn({NETRELAY_PATH, "--seed", seed, "--loss", "0.004", "--duplicate", "0.05", "--reorder",
                         reorder, "--corrupt", corrupt, "--idle-ms", "60000", "--max-ms",
                         "300000"},
                        dir.file(name + "_relay_out.txt"));
    std::string relayA, relayB;
    if (!WaitForRelayPorts(match.relay, std::chrono::steady_clock::now() + std::chrono::seconds(30), &relayA,
                           &relayB)) {
        return match;
    }
    match.a = StartPeer(dir, name, "0", "0", relayA, slowLine, fromSelect);
    match.b = StartPeer(dir, name, "1", "0", relayB, slowLine, fromSelect);
    return match;
}

// The outcome line a peer prints: whether the scene ended, frames, battle
// frame, battleOver, timer, winner, lives, states and score.
std::string Outcome(const Peer& peer) {
    const std::string output = ReadText(peer.process.output);
    return output.substr(0, output.find('\n'));
}

// The first frame whose hash line differs between two hash files, -1 when
// they are the same.
int FirstDifferentFrame(const std::string& a, const std::string& b) {
    if (a == b) return -1;
    int frame = 0;
    for (size_t i = 0; i < a.size() && i < b.size() && a[i] == b[i]; ++i) frame += a[i] == '\n';
    return frame;
}

// A match is given up once it stops computing, not after a time: on a
// loaded machine a process may wait long for a CPU, but keeps computing.
ProgressWatch WatchMatch(const Match& match) {
    return ProgressWatch({match.a.process.pid, match.b.process.pid, match.relay.pid});
}

// Both peers of a finished match computed the same battle, frame by frame, and
// saved the same replay, which plays the battle to the same end; with
// `sameHashesInPlayback`, through the same states too (a battle entered from
// the versus screen starts with that screen's transition values, a playback
// without them).
void ExpectSameBattleOnBothPeers(Match& match, const test::TempDir& dir, ProgressWatch& watch,
                                 bool sameHashesInPlayback) {
    SCOPED_TRACE(match.name);
    ASSERT_GT(match.a.process.pid, 0);
    ASSERT_GT(match.b.process.pid, 0);
    EXPECT_EQ(Wait(match.a.process, watch), 0) << ReadText(match.a.process.output);
    EXPECT_EQ(Wait(match.b.process, watch), 0) << ReadText(match.b.process.output);
    if (match.relay.pid > 0) {
        EXPECT_EQ(Terminate(match.relay, std::chrono::steady_clock::now() + std::chrono::seconds(30)), 0);
        std::printf("%s relay: %s", match.name.c_str(), ReadText(match.relay.output).c_str());
        // Every kind of fault reached the match.
        const std::map<std::string, long> counts = ReadRelayCounts(match.relay);
        for (const char* fault : {"dropped", "duplicated", "reordered", "corrupted"}) {
            EXPECT_GT(counts.count(fault) ? counts.at(fault) : 0, 0) << fault;
        }
    }
    const std::string outcome = Outcome(match.a);
    std::printf("%s: %s\n", match.name.c_str(), outcome.c_str());
    // The fight ended (a knock-out or time up) and the scene left.
    EXPECT_EQ(outcome.rfind("ended 1 ", 0), 0u) << outcome;
    EXPECT_NE(outcome.find(" over 1 "), std::string::npos) << outcome;
    EXPECT_NE(ReadText(match.a.process.output).find("peer lost 0"), std::string::npos);
    EXPECT_EQ(ReadText(match.a.process.output), ReadText(match.b.process.output));
    const std::string hashes = ReadText(match.a.hashes);
    EXPECT_FALSE(hashes.empty());
    EXPECT_EQ(FirstDifferentFrame(hashes, ReadText(match.b.hashes)), -1) << "the peers' battles differ";
    const std::string replay = ReadText(match.a.replay);
    EXPECT_GT(replay.size(), 1112u);
    EXPECT_TRUE(replay == ReadText(match.b.replay)) << "the peers' replays differ";

    // The replay plays the battle again, as two players on one machine.
    const std::string played = dir.file(match.name + "_played.txt");
    const Child playback =
        Spawn({BATTLE_PEER_PATH, "--playback", match.a.replay, played}, dir.file(match.name + "_playback_out.txt"));
    ProgressWatch playing({playback.pid});
    EXPECT_EQ(Wait(playback, playing), 0);
    if (sameHashesInPlayback) {
        EXPECT_EQ(FirstDifferentFrame(ReadText(played), hashes), -1) << "the playback differs from the battle";
    }
    EXPECT_EQ(Outcome({playback, {}, {}}), outcome);
}

// A child that waits with nothing to compute is given up after one window;
// one that computes however slowly, as on a loaded machine, runs to its end.
TEST(ProgressWatch, GivesUpAChildThatStopsComputingButNotASlowOne) {
    test::TempDir dir;
    const struct {
        const char* name;
        std::vector<std::string> args;
        int status;  // -1: killed as stuck
    } cases[] = {
        {"waiting", {"/bin/sleep", "600"}, -1},
        {"computing", {"/bin/bash", "-c", "while ((SECONDS < 12)); do :; done"}, 0},
    };
    for (const auto& c : cases) {
        const Child child = Spawn(c.args, dir.file(std::string(c.name) + ".txt"));
        ProgressWatch watch({child.pid}, std::chrono::seconds(5), std::chrono::milliseconds(20));
        EXPECT_EQ(Wait(child, watch), c.status) << c.name;
    }
}

TEST(NetworkBattle, BothPeersPlayTheSameBattleToItsEndDirectlyAndThroughALossyRelay) {
    test::TempDir dir;
    std::vector<Match> matches = {StartDirectMatch(dir), StartRelayedMatch(dir, "relayed", "11", "0.05", "0.03", "1", false)};
    for (Match& match : matches) {
        ProgressWatch watch = WatchMatch(match);
        ExpectSameBattleOnBothPeers(match, dir, watch, true);
    }
}

// The whole way a player takes: each peer starts on the network select
// screen, connects, and its keys choose kirune on both sides (side 1 in the
// other colour) and stage 2, with the stage choice taken back once; then the
// versus screen and the battle to its end. The relay damages any byte of a
// packet, frame numbers and commands included: a damaged frame number shows
// by the frame check the word carries, so the damaged packet is asked for
// again.
TEST(NetworkBattle, MatchesFromTheSelectScreenThroughARelayThatDamagesAnyByte) {
    test::TempDir dir;
    std::vector<Match> matches = {StartRelayedMatch(dir, "select21", "21", "0.03", "0.01", "1", true),
                                  StartRelayedMatch(dir, "select22", "22", "0.03", "0.01", "1", true),
                                  StartRelayedMatch(dir, "select23", "23", "0.03", "0.01", "1", true)};
    std::vector<ProgressWatch> watches;
    for (const Match& match : matches) watches.push_back(WatchMatch(match));
    for (size_t i = 0; i < matches.size(); ++i) {
        Match& match = matches[i];
        ExpectSameBattleOnBothPeers(match, dir, watches[i], false);
        EXPECT_NE(ReadText(match.a.process.output).find("characters 1 1 colours 0 1 stage 2"), std::string::npos)
            << match.name << ": " << ReadText(match.a.process.output);
    }
}

}  // namespace
