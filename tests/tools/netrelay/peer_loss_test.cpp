// Games that are lost and come back, between real game processes (battle
// peers from the network select screen, at the game's 60 frames a second)
// through the relay: side 1 stops and is killed on its select screen and
// started again; it is killed on its versus screen after both players decided
// the match, and started again once side 0 is back at the title; or it is
// started again while side 0 is in its battle's start handshake. No wait of
// side 0 lasts without end, neither side floods the other, and the two then
// play a fresh match from the select screen to the battle's end, frame by
// frame the same.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tests/tools/netrelay/child_process.h"

namespace {

using Clock = std::chrono::steady_clock;

// The start handshake's limit of silence, as the game has it.
constexpr auto kHandshakeSilence = std::chrono::milliseconds(11000);
// Generous deadlines for what the games print: the machine may be loaded.
constexpr auto kLineDeadline = std::chrono::seconds(90);
constexpr auto kMatchDeadline = std::chrono::seconds(300);

struct Peer {
    Child process;
    std::string hashes;
    std::string log;  // its standard error: where it stands, step by step
};

// A relay without faults between side 0 and side 1, which bind ports of
// their own, so that a side started again binds its port again, as a game
// does from its config.
class LossRig {
public:
    LossRig() {
        ports_ = FreePorts();
        relay_ = Spawn({NETRELAY_PATH, "--idle-ms", "60000", "--max-ms", "400000"}, dir_.file("relay.txt"));
        ready_ = ports_.size() == 2 &&
                 WaitForRelayPorts(relay_, Clock::now() + std::chrono::seconds(30), &relayPorts_[0], &relayPorts_[1]);
    }
    ~LossRig() {
        for (Child* child : started_) Stop(*child);
        Stop(relay_);
    }

    bool ready() const { return ready_; }

    // A game of `side` on the network select screen; `name` names its files.
    Peer& Start(const std::string& name, int side, const std::vector<std::string>& options) {
        Peer& peer = peers_[name];
        peer.hashes = dir_.file(name + "_hashes.txt");
        peer.log = dir_.file(name + "_log.txt");
        std::vector<std::string> args = {BATTLE_PEER_PATH,   "--select", std::to_string(side), ports_[side],
                                         relayPorts_[side], "0",        peer.hashes,         dir_.file(name + ".rpl"),
                                         "--paced"};
        args.insert(args.end(), options.begin(), options.end());
        peer.process = Spawn(args, dir_.file(name + ".txt"), peer.log);
        started_.push_back(&peer.process);
        return peer;
    }

    // The relay's busiest second of either side: it ends with its report.
    long BusiestSecond() {
        EXPECT_EQ(Terminate(relay_, Clock::now() + kLineDeadline), 0) << "the relay did not end";
        return ::BusiestSecond(relay_);
    }

private:
    test::TempDir dir_;
    std::vector<std::string> ports_;
    std::string relayPorts_[2];
    Child relay_;
    bool ready_ = false;
    std::map<std::string, Peer> peers_;  // its nodes stay where they are
    std::vector<Child*> started_;
};

// Whether the child has ended, leaving it to be reaped by Wait.
bool HasEnded(const Child& child) {
    siginfo_t info{};
    return child.pid <= 0 || waitid(P_PID, static_cast<id_t>(child.pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0 ||
           info.si_pid != 0;
}

// Waits until the peer has told `line` on standard error; false when it
// ended or the deadline passed first.
bool WaitForLine(const Peer& peer, const std::string& line, Clock::duration within = kLineDeadline) {
    const auto deadline = Clock::now() + within;
    const auto printed = [&] { return ReadText(peer.log).find(line) != std::string::npos; };
    while (!printed()) {
        if (Clock::now() > deadline || HasEnded(peer.process)) return printed();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// How long side 0's start handshake lasted, from its line "handshake ended
// after MS ms connected 0|1"; `connected` gets the number after it.
std::chrono::milliseconds HandshakeTime(const std::string& output, int* connected) {
    const size_t at = output.find("handshake ended after ");
    long long ms = -1;
    *connected = -1;
    if (at != std::string::npos) std::sscanf(output.c_str() + at, "handshake ended after %lld ms connected %d", &ms, connected);
    return std::chrono::milliseconds(ms);
}

// Both sides play the fresh match to the battle's end, frame by frame the
// same, with the match both chose (kirune twice, side 1 in the other
// colour, stage 2); neither sent more than kMostPacketsASecond in a second.
void ExpectTheSameFreshMatch(LossRig& rig, const Peer& a, const Peer& b) {
    const auto deadline = Clock::now() + kMatchDeadline;
    EXPECT_EQ(Wait(a.process, deadline), 0) << ReadText(a.process.output);
    EXPECT_EQ(Wait(b.process, deadline), 0) << ReadText(b.process.output);
    // The battle's outcome, whether it lost its peer, and the match chosen.
    const std::string ending = ReadText(a.process.output);
    EXPECT_EQ(ending.rfind("ended 1 ", 0), 0u) << ending;
    EXPECT_NE(ending.find("peer lost 0\ncharacters 1 1 colours 0 1 stage 2"), std::string::npos) << ending;
    EXPECT_EQ(ending, ReadText(b.process.output));
    const std::string hashes = ReadText(a.hashes);
    EXPECT_GT(hashes.size(), 17u * 1000) << "a battle to its end";
    EXPECT_TRUE(hashes == ReadText(b.hashes)) << "the battles differ";

    const long busiest = rig.BusiestSecond();
    std::printf("the busiest second: %ld packets from one side\n", busiest);
    EXPECT_GT(busiest, 0) << "the relay told its counts";
    EXPECT_LE(busiest, kMostPacketsASecond);
}

class PeerLoss : public ::testing::Test {
protected:
    // Side 0, which leaves a battle that lost its peer for the title and
    // network play again, and side 1, which stops on entering its versus
    // screen: both players have decided the match.
    void BothDecideAndSideOneStopsOnItsVersusScreen() {
        ASSERT_TRUE(rig.ready());
        a_ = &rig.Start("a", 0, {"--rejoin"});
        first_ = &rig.Start("b_first", 1, {"--freeze-at", "versus"});
        ASSERT_TRUE(WaitForLine(*first_, "frozen on the versus screen")) << ReadText(first_->log);
    }

    LossRig rig;
    Peer* a_ = nullptr;
    Peer* first_ = nullptr;
};

// Side 1 stops while both choose (it has seen side 0 decide its character)
// and is killed; a new game of side 1 comes up before side 0 gives it up.
// Side 0 takes it up from the start (its screen goes back to "connecting"
// and connects anew, every choice undone), without going back to the title.
TEST_F(PeerLoss, AGameStartedAgainDuringTheOthersSelectScreenIsTakenUpAndAFreshMatchPlays) {
    ASSERT_TRUE(rig.ready());
    Peer& a = rig.Start("a", 0, {});
    Peer& first = rig.Start("b_first", 1, {"--freeze-at", "select"});
    ASSERT_TRUE(WaitForLine(first, "frozen on the select screen")) << ReadText(first.log);
    Stop(first.process);
    Peer& again = rig.Start("b_again", 1, {});
    ExpectTheSameFreshMatch(rig, a, again);
    const std::string log = ReadText(a.log);
    const bool backToConnecting = log.find("state 10->9 connected 1->0") != std::string::npos ||
                                  log.find("state 30->9 connected 1->0") != std::string::npos;
    EXPECT_TRUE(backToConnecting) << log;
    // Its log names each change of scene, "scene 4->3 state ..." for the
    // title (scene 3): the select screen never left for it.
    EXPECT_EQ(log.find("->3 state "), std::string::npos) << log;
}

// Both decide the match; side 1 is killed on its versus screen. Side 0 gives
// it up in its start handshake after the handshake's silence (with a
// generous margin for a loaded machine), starts its battle disconnected and
// leaves it by its menu (T) for the title; there it chooses network play
// again, and a new game of side 1 plays a fresh match with it.
TEST_F(PeerLoss, AGameKilledAfterBothDecidedIsGivenUpInTheStartHandshakeAndAFreshMatchPlays) {
    ASSERT_NO_FATAL_FAILURE(BothDecideAndSideOneStopsOnItsVersusScreen());
    Peer& a = *a_;
    Stop(first_->process);
    ASSERT_TRUE(WaitForLine(a, "back at the title", kHandshakeSilence + kLineDeadline))
        << ReadText(a.log);
    int connected = -1;
    const std::chrono::milliseconds handshake = HandshakeTime(ReadText(a.log), &connected);
    EXPECT_GE(handshake, kHandshakeSilence);
    EXPECT_LT(handshake, kHandshakeSilence + std::chrono::seconds(30));
    EXPECT_EQ(connected, 0);
    Peer& again = rig.Start("b_again", 1, {});
    ExpectTheSameFreshMatch(rig, a, again);
}

// Both decide the match; side 1 is killed on its versus screen and started
// again once side 0 is in its start handshake. The new game's connect packet
// ends that handshake at once (it seeks a new match, which side 0 cannot give
// from its battle); side 0 leaves its lone battle for the title and network
// play, where the new game has waited on "connecting", and the two play.
TEST_F(PeerLoss, AGameStartedAgainDuringTheOthersStartHandshakeEndsItAndAFreshMatchPlays) {
    ASSERT_NO_FATAL_FAILURE(BothDecideAndSideOneStopsOnItsVersusScreen());
    Peer& a = *a_;
    ASSERT_TRUE(WaitForLine(a, "start handshake")) << ReadText(a.log);
    Stop(first_->process);
    Peer& again = rig.Start("b_again", 1, {});
    ASSERT_TRUE(WaitForLine(a, "back at the title", kHandshakeSilence + kLineDeadline))
        << ReadText(a.log);
    int connected = -1;
    EXPECT_LT(HandshakeTime(ReadText(a.log), &connected), kHandshakeSilence)
        << "ended by the new game's connect packet, not by the silence";
    EXPECT_EQ(connected, 0);
    ExpectTheSameFreshMatch(rig, a, again);
}

}  // namespace
