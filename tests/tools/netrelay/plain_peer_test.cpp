// Whole matches between the game (battle_peer --select, side 0) and a peer
// that speaks only the plain packet format (plain_peer, side 1), through a
// relay that loses, duplicates, holds back, delays and damages the battle's
// datagrams. The plain select exchange has no way to tell a lost, repeated
// or damaged select word from the next one, so the relay only delays the
// select screen's packets. Both machines must choose the same match and
// compute the same battle, frame by frame, to its end.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "tests/support/temp_dir.h"
#include "tests/tools/netrelay/child_process.h"

namespace {

// A hang guard only: each peer ends by its own frame and time-out limits.
constexpr auto kHangGuard = std::chrono::seconds(600);

struct PlainMatch {
    Child relay, game, plain;
    std::string gameHashes, plainHashes;
};

PlainMatch StartPlainMatch(const test::TempDir& dir, const std::string& name, const std::string& seed,
                           const std::string& slowLine) {
    PlainMatch match;
    match.relay = Spawn({NETRELAY_PATH, "--seed", seed, "--loss", "0.01", "--duplicate", "0.05", "--reorder", "0.05",
                         "--corrupt", "0.02", "--delay-ms", "10", "--jitter-ms", "5", "--spare-select", "1",
                         "--idle-ms", "15000", "--max-ms", "400000"},
                        dir.file(name + "_relay.txt"));
    std::string portA, portB;
    if (!WaitForRelayPorts(match.relay, std::chrono::steady_clock::now() + std::chrono::seconds(30), &portA, &portB)) {
        return match;
    }
    match.gameHashes = dir.file(name + "_game_hashes.txt");
    match.plainHashes = dir.file(name + "_plain_hashes.txt");
    match.game = Spawn({BATTLE_PEER_PATH, "--select", "0", "0", portA, slowLine, match.gameHashes,
                        dir.file(name + "_game.rpl")},
                       dir.file(name + "_game.txt"), dir.file(name + "_game_log.txt"));
    match.plain = Spawn({PLAIN_PEER_PATH, portB, slowLine, match.plainHashes}, dir.file(name + "_plain.txt"));
    return match;
}

TEST(PlainPeer, PlaysWholeMatchesFromTheSelectScreenWithTheGameThroughALossyRelay) {
    test::TempDir dir;
    const struct {
        const char* name;
        const char* seed;
        const char* slowLine;
    } cases[] = {{"plain31", "31", "0"}, {"plain32", "32", "1"}};
    PlainMatch matches[2];
    for (int i = 0; i < 2; ++i) matches[i] = StartPlainMatch(dir, cases[i].name, cases[i].seed, cases[i].slowLine);
    const auto deadline = std::chrono::steady_clock::now() + kHangGuard;
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(cases[i].name);
        PlainMatch& m = matches[i];
        ASSERT_GT(m.game.pid, 0);
        ASSERT_GT(m.plain.pid, 0);
        EXPECT_EQ(Wait(m.plain, deadline), 0) << ReadText(m.plain.output);
        EXPECT_EQ(Wait(m.game, deadline), 0) << ReadText(m.game.output);
        Wait(m.relay, deadline);
        const std::string game = ReadText(m.game.output), plain = ReadText(m.plain.output);
        std::printf("%s: game: %splain: %srelay: %s", cases[i].name, game.c_str(), plain.c_str(),
                    ReadText(m.relay.output).c_str());
        // The match both chose: kirune twice, side 1 in the other colour, stage 2.
        EXPECT_NE(game.find("characters 1 1 colours 0 1 stage 2"), std::string::npos) << game;
        EXPECT_NE(plain.find("outcome battle 1 1 0 1 stage 2"), std::string::npos) << plain;
        EXPECT_EQ(game.rfind("ended 1 ", 0), 0u) << game;
        EXPECT_NE(game.find("peer lost 0"), std::string::npos) << game;
        const std::string hashes = ReadText(m.gameHashes);
        EXPECT_GT(hashes.size(), 17u * 200);
        EXPECT_TRUE(hashes == ReadText(m.plainHashes)) << "the battles differ";
    }
}

}  // namespace
