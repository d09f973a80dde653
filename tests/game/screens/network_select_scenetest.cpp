// The network select screen run as a scene, this machine's player on its
// keyboard and the peer played by a fake network: the connection, both
// players choosing at once with the words of each period applied on the same
// frame, either side's stage choice, the way on to the battle with the socket
// open, and the ways back to the title menu that close it. Also every select
// screen's timing on a machine that cannot draw some of its frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

#include "engine/devices/network.h"
#include "game/arena/battle_state.h"
#include "game/arena/player_record.h"
#include "game/battle/battle_scene.h"
#include "game/flow/input_words.h"
#include "game/flow/net_exchange.h"
#include "game/flow/replay_file.h"
#include "game/flow/run_state.h"
#include "game/flow/save_files.h"
#include "game/flow/transitions.h"
#include "game/screens/select_screen.h"
#include "platform/keyboard.h"
#include "platform/udp_socket.h"
#include "tests/support/fake_transport.h"
#include "tests/support/scene_harness.h"

namespace {

NetPacket SelectWord(InputWord word, uint16_t period) {
    return {NT_COMMAND_INPUT, word, static_cast<uint16_t>(word ^ (period & 0xFF) * 0x101)};
}

std::vector<uint8_t> Bytes(const NetPacket& packet) {
    std::vector<uint8_t> bytes(NET_PACKET_SIZE);
    EncodeNetPacket(packet, bytes.data());
    return bytes;
}

// The peer's word of each period, decided when this side's word of that
// period reaches it. The peer's screen is in the same state as this one's, so
// a script may look at `selectScreen`.
using PeerScript = std::function<InputWord(uint16_t period)>;

class NetworkSelectTest : public testing::Test {
protected:
    void SetUp() override {
        std::memset(&systemData, 0, sizeof systemData);
        std::strcpy(config.peerHost, "127.0.0.1");
        config.port = test::kFakePort;
        winCounts[0] = winCounts[1] = 0;
        net().onSend = [this](const test::SentDatagram& d) { AnswerAsPeer(DecodeNetPacket(d.bytes.data())); };
    }

    test::FakeNetwork& net() { return transport.network(); }
    int32_t N() const { return static_cast<int32_t>(netSendInterval); }

    // The peer, another machine of this game: answers connect packets with
    // its own (the other side, the same line), sends its word of each period
    // when this side's comes, and answers a request with the word of the
    // period it names.
    void AnswerAsPeer(const NetPacket& packet) {
        if (packet.frame == NT_COMMAND_CONNECT && peerPresent && !peerRestarting) {
            net().Deliver(Bytes(PeerConnectPacket()));
        }
        if (peerRestarting) {
            // Its new game looks for this side, a frame later, with a new tag.
            net().Deliver(Bytes(PeerConnectPacket()), test::FakePeer(), 16);
            return;
        }
        if (packet.frame == NT_COMMAND_INPUT) {
            const auto period = static_cast<uint16_t>((packet.value ^ packet.valueCopy) & 0xFF);  // short tests
            if (period >= silentFromPeriod) return;
            peerWords.resize(std::max<size_t>(peerWords.size(), period + 1u));
            peerWords[period] = script ? script(period) : 0;
            net().Deliver(Bytes(SelectWord(peerWords[period], period)), test::FakePeer(), peerDelayMs);
        }
        const auto asked = static_cast<uint16_t>(packet.valueCopy & 0xFF);
        if (packet.frame == NT_COMMAND_WRECK && asked < peerWords.size()) {
            net().Deliver(Bytes(SelectWord(peerWords[asked], asked)));
        }
    }

    // Enters the screen and runs to the connection; with `letGo`, on to the
    // end of the first period: every button counts as held from the
    // connection until a period's word lets it go, so the tests press keys
    // from the second period on.
    void Enter(int32_t localSide, uint8_t slowLine, bool letGo = true) {
        config.localSide = localSide;
        config.slowLine = slowLine;
        gameMode = MODE_VS_NETWORK;
        sceneNumber = SCENE_SELECT;
        sceneInitPending = 1;
        ASSERT_TRUE(RunUntil([] { return selectScreen.state == SELECT_CONNECTING; }));
        ASSERT_TRUE(RunUntil([] { return selectScreen.state == SELECT_CHARACTER; }));
        ASSERT_EQ(netConnected, 1);
        if (letGo) {
            ASSERT_TRUE(RunUntilApplied(1));
        }
    }

    // Runs until both words of `period` have been applied.
    bool RunUntilApplied(uint16_t period) {
        return RunUntil([period] { return netSelectPeriod == period + 1; });
    }

    bool RunUntil(const std::function<bool()>& done, int limit = 2000) {
        for (int frames = 0; frames < limit && !done(); ++frames) RunFrame();
        return done();
    }
    void RunFrame() {
        harness.RunFrames(1);
        frames.push_back({selectScreen.netFrameCounter - 1, selectScreen.cursor[0], selectScreen.cursor[1]});
    }
    // Holds a key for a whole exchange period (so that a send samples it) and
    // lets it go for another.
    void PressLocal(int key) {
        harness.Hold(key);
        for (int i = 0; i < N(); ++i) RunFrame();
        harness.Release(key);
        for (int i = 0; i < N(); ++i) RunFrame();
    }

    // The first frame counter at which a side's cursor was decided.
    int32_t DecidedAt(int side) const {
        for (const FrameRecord& f : frames)
            if (f.cursor[side] >= SELECT_DECIDED_OFFSET) return f.counter;
        return -1;
    }

    test::SceneHarness harness;
    test::FakeTransport transport;
    PeerScript script;
    std::vector<InputWord> peerWords;
    // The peer's next connect packet: the other side, the same line, its tag,
    // the two forms in turn.
    NetPacket PeerConnectPacket() {
        return ConnectPacket(1 - config.localSide, config.slowLine, peerTag, peerConnectPackets++ % NET_CONNECT_FORMS);
    }

    bool peerPresent = true;
    int peerConnectPackets = 0;
    uint16_t peerTag = 7;
    bool peerRestarting = false;  // sends only its new game's connect packets
    uint16_t silentFromPeriod = UINT16_MAX;
    uint64_t peerDelayMs = 0;
    struct FrameRecord {
        int32_t counter;
        int32_t cursor[2];
    };
    std::vector<FrameRecord> frames;
};

// Odd periods after the first, whose words count as held from before.
bool Odd(uint16_t period) { return period % 2 == 1 && period > 1; }

TEST_F(NetworkSelectTest, BothChooseAtOnceEitherChoosesTheStageAndTheMatchGoesOnConnected) {
    for (int32_t localSide : {0, 1}) {
        SCOPED_TRACE(localSide);
        const int remote = 1 - localSide;
        // The peer on side 0 turns its wheel once; the peer decides, then
        // turns the stage ring on.
        int turns = remote == 0 ? 0 : 1;
        script = [&turns, remote](uint16_t period) -> InputWord {
            if (!Odd(period)) return 0;
            if (selectScreen.state == SELECT_CHARACTER && selectScreen.cursor[remote] < SELECT_DECIDED_OFFSET)
                return turns++ == 0 ? INPUT_RIGHT : INPUT_Z;
            if (selectScreen.state == SELECT_STAGE && selectScreen.stageCursor == 9) return INPUT_RIGHT;
            return 0;
        };
        Enter(localSide, 0);
        EXPECT_EQ(selectScreen.cursor[0], 0);
        EXPECT_EQ(selectScreen.cursor[1], 1);
        PressLocal(platform::VK_LEFT);
        PressLocal('Z');
        ASSERT_TRUE(RunUntil([] { return selectScreen.state == SELECT_STAGE && selectScreen.stageCursor == 10; }));
        PressLocal('Z');
        ASSERT_TRUE(RunUntil([] { return sceneNumber == SCENE_VERSUS; }));
        // LEFT turns side 0 to the next character and side 1 to the one
        // before; RIGHT turns side 0 from character 1 round to 8, which is
        // locked here but was decided on the peer's machine.
        const int32_t local = localSide == 0 ? 2 : 1, peer = remote == 0 ? 8 : 2;
        EXPECT_EQ(players[localSide].characterId, local);
        EXPECT_EQ(players[remote].characterId, peer);
        EXPECT_EQ(players[0].colour, 0);
        EXPECT_EQ(players[1].colour, players[0].characterId == players[1].characterId ? 1 : 0);
        EXPECT_EQ(stageNumber, 1);
        EXPECT_EQ(replayPlayback, 0);
        EXPECT_EQ(netConnected, 1);
        EXPECT_TRUE(NetIsOpen()) << "the battle uses the socket";
        EXPECT_EQ(net().nowMs, 0u) << "no wait ran out";
        NetClose();
        peerWords.clear();
        frames.clear();
    }
}

// Both words of a period apply on its last frame, on both machines alike:
// with an interval of 3 a press sent on a period's first frame counts two
// frames later, as the peer's press of the same period does.
TEST_F(NetworkSelectTest, BothWordsOfAPeriodApplyOnItsLastFrame) {
    for (uint8_t slowLine : {0, 1}) {
        SCOPED_TRACE(static_cast<int>(slowLine));
        script = [](uint16_t period) -> InputWord { return period == 4 ? INPUT_Z : 0; };
        Enter(0, slowLine);
        ASSERT_TRUE(RunUntil([] { return netSelectPeriod == 3; }));
        harness.Hold('Z');
        ASSERT_TRUE(RunUntil([] { return netSelectPeriod == 4; }));
        harness.Release('Z');
        ASSERT_TRUE(RunUntil([] { return selectScreen.state == SELECT_STAGE; }));
        const int32_t at = DecidedAt(0);
        EXPECT_EQ(at, DecidedAt(1)) << "both decided on one frame";
        EXPECT_EQ(at % N(), N() - 1);
        EXPECT_EQ(at / N(), 4) << "in the period the press was sent in";
        EXPECT_EQ(net().nowMs, 0u) << "no wait ran out";
        selectScreen.state = SELECT_CANCELLED;
        ASSERT_TRUE(RunUntil([] { return sceneNumber == SCENE_TITLE; }));
        peerWords.clear();
        frames.clear();
    }
}

// Keys held at the moment the screens connect: this machine's player holds
// its onward arrow (LEFT), the peer's player its own (RIGHT) and Z, from
// before the connection on. Neither counts as a press on either machine, so
// this machine moves no cursor and decides nothing, as the peer's machine
// does not either with the same words. Let go and pressed again, they count.
TEST_F(NetworkSelectTest, AKeyHeldWhenTheScreensConnectIsAPressOnNeitherMachine) {
    script = [](uint16_t period) -> InputWord {
        if (period <= 3) return INPUT_RIGHT | INPUT_Z;
        return period == 5 ? INPUT_RIGHT : 0;
    };
    harness.Hold(platform::VK_LEFT);
    Enter(0, 0, false);
    ASSERT_TRUE(RunUntilApplied(3));
    harness.Release(platform::VK_LEFT);
    ASSERT_TRUE(RunUntilApplied(4));
    EXPECT_EQ(selectScreen.cursor[0], 0);
    EXPECT_EQ(selectScreen.cursor[1], 1);
    harness.Hold(platform::VK_LEFT);  // sampled in period 6
    ASSERT_TRUE(RunUntilApplied(6));
    harness.Release(platform::VK_LEFT);
    EXPECT_EQ(selectScreen.cursor[0], 1);
    EXPECT_EQ(selectScreen.cursor[1], 2);
    selectScreen.state = SELECT_CANCELLED;
    ASSERT_TRUE(RunUntil([] { return sceneNumber == SCENE_TITLE; }));
}

// The peer's game starts anew while this screen exchanges words (its player
// left and came back): this screen goes back to its connect step, and both
// begin the match again as at a first connection, every choice undone.
TEST_F(NetworkSelectTest, APeerThatStartsItsGameAnewIsConnectedAgainFromTheStart) {
    Enter(0, 0);
    PressLocal(platform::VK_LEFT);
    ASSERT_EQ(selectScreen.cursor[0], 1);
    peerTag = 8;
    peerRestarting = true;
    peerWords.clear();
    ASSERT_TRUE(RunUntil([] { return selectScreen.state == SELECT_CONNECTING; }, 20));
    peerRestarting = false;
    EXPECT_EQ(netConnected, 0);
    EXPECT_EQ(selectScreen.cursor[0], 0);
    EXPECT_EQ(selectScreen.cursor[1], 1);
    ASSERT_TRUE(RunUntil([] { return selectScreen.state == SELECT_CHARACTER; }, 5));
    EXPECT_EQ(netConnected, 1);
    EXPECT_EQ(netPeerAnnouncement, ConnectAnnouncement(1, 0, 8));
    EXPECT_EQ(selectScreen.netFrameCounter, 2);
    EXPECT_EQ(buttonStates[0][BUTTON_LEFT], BUTTON_STATE_HELD) << "as at a first connection";
    ASSERT_TRUE(RunUntilApplied(1));
    PressLocal(platform::VK_LEFT);
    EXPECT_EQ(selectScreen.cursor[0], 1);
    EXPECT_LT(net().nowMs, NET_SELECT_WAIT_MS) << "no wait ran out";
    selectScreen.state = SELECT_CANCELLED;
    ASSERT_TRUE(RunUntil([] { return sceneNumber == SCENE_TITLE; }));
}

// A peer set to the same side is not connected to: the screen keeps looking
// and shows "disconnected" instead of "connecting", and X still leaves.
TEST_F(NetworkSelectTest, APeerOnTheSameSideIsNotConnectedTo) {
    peerPresent = false;
    int peerPackets = 0;
    net().onSend = [this, &peerPackets](const test::SentDatagram& d) {
        if (DecodeNetPacket(d.bytes.data()).frame != NT_COMMAND_CONNECT) return;
        net().Deliver(Bytes(ConnectPacket(0, 0, 7, peerPackets++ % NET_CONNECT_FORMS)));
    };
    config.localSide = 0;
    config.slowLine = 0;
    gameMode = MODE_VS_NETWORK;
    sceneNumber = SCENE_SELECT;
    sceneInitPending = 1;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(RunUntil([] { return selectScreen.state == SELECT_CONNECTING; }));
    for (int i = 0; i < 60; ++i) RunFrame();
    EXPECT_NE(testing::internal::GetCapturedStderr().find("set to side 0 as well"), std::string::npos);
    EXPECT_EQ(selectScreen.state, SELECT_CONNECTING);
    EXPECT_EQ(netConnected, 0);
    EXPECT_TRUE(netPeerRefused) << "drawn as disconnected";
    harness.Tap('X');
    ASSERT_TRUE(RunUntil([] { return sceneNumber == SCENE_TITLE; }));
    EXPECT_FALSE(NetIsOpen());
}

TEST_F(NetworkSelectTest, ALockedCharacterIsRefusedHereButThePeersChoiceStands) {
    // Character 8 (cursor 7) is locked on this machine; the peer has it.
    script = [](uint16_t period) -> InputWord {
        if (!Odd(period) || selectScreen.state != SELECT_CHARACTER) return 0;
        return selectScreen.cursor[1] == 7 ? INPUT_Z : (selectScreen.cursor[1] < 7 ? INPUT_LEFT : 0);
    };
    Enter(0, 0);
    PressLocal(platform::VK_RIGHT);  // wraps to character 8
    ASSERT_EQ(selectScreen.cursor[0], 7);
    const size_t sentBefore = net().sent.size();
    harness.Hold('Z');
    ASSERT_TRUE(RunUntil([] { return selectScreen.cursor[1] == 107; }));
    harness.Release('Z');
    EXPECT_EQ(selectScreen.cursor[0], 7) << "not decided";
    for (size_t i = sentBefore; i < net().sent.size(); ++i) {
        const NetPacket p = DecodeNetPacket(net().sent[i].bytes.data());
        if (p.frame == NT_COMMAND_INPUT) {
            EXPECT_EQ(p.value & INPUT_Z, 0) << "the refused press is not sent";
        }
    }
    selectScreen.state = SELECT_CANCELLED;
    RunUntil([] { return sceneNumber == SCENE_TITLE; });
}

// A turn and a decision in one word: the decision is checked where the turn
// takes the cursor, before the word is sent, so the peer (which takes this
// side's decision without a check) ends the same way as this machine.
// Characters 1 to 6 are unlocked here, 7 and 8 locked.
TEST_F(NetworkSelectTest, ATurnAndADecisionInOneWordAreCheckedWhereTheTurnLeads) {
    const struct {
        int turnsToStart;  // LEFT presses from character 1
        int turnKey;       // held together with Z
        int32_t cursor;    // side 0's cursor afterwards
    } cases[] = {
        {5, platform::VK_LEFT, 5},                           // on to character 7: refused, the word dropped
        {6, platform::VK_RIGHT, 5 + SELECT_DECIDED_OFFSET},  // back from 7 to 6: decided
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.turnsToStart);
        Enter(0, 0);
        for (int i = 0; i < c.turnsToStart; ++i) PressLocal(platform::VK_LEFT);
        ASSERT_EQ(selectScreen.cursor[0], c.turnsToStart);
        const size_t sentBefore = net().sent.size();
        const uint16_t period = netSelectPeriod + 1;
        harness.Hold(c.turnKey);
        harness.Hold('Z');
        ASSERT_TRUE(RunUntil([period] { return netSelectPeriod == period; }));
        harness.Release(c.turnKey);
        harness.Release('Z');
        for (int i = 0; i < 2 * N(); ++i) RunFrame();
        EXPECT_EQ(selectScreen.cursor[0], c.cursor);
        bool zSent = false;
        for (size_t i = sentBefore; i < net().sent.size(); ++i) {
            const NetPacket p = DecodeNetPacket(net().sent[i].bytes.data());
            zSent |= p.frame == NT_COMMAND_INPUT && (p.value & INPUT_Z) != 0;
        }
        EXPECT_EQ(zSent, selectScreen.cursor[0] >= SELECT_DECIDED_OFFSET) << "the peer decides as this side did";
        selectScreen.state = SELECT_CANCELLED;
        ASSERT_TRUE(RunUntil([] { return sceneNumber == SCENE_TITLE; }));
        peerWords.clear();
        frames.clear();
    }
}

// The peer turns the stage ring onto a stage locked here in the period in
// which this side decides: the peer takes the decision there, and so does
// this machine, where stopping would leave the peer alone in its battle.
TEST_F(NetworkSelectTest, ALocalStageDecisionWithThePeersTurnInTheSamePeriodGoesOnLikeThePeer) {
    uint16_t turnPeriod = UINT16_MAX;
    script = [&turnPeriod](uint16_t period) -> InputWord {
        if (selectScreen.state == SELECT_CHARACTER && selectScreen.cursor[1] < SELECT_DECIDED_OFFSET)
            return Odd(period) ? INPUT_Z : 0;
        return period == turnPeriod ? INPUT_LEFT : 0;
    };
    Enter(0, 0);
    PressLocal('Z');
    ASSERT_TRUE(RunUntil([] { return selectScreen.state == SELECT_STAGE; }));
    PressLocal(platform::VK_RIGHT);
    ASSERT_EQ(selectScreen.stageCursor, 10) << "stage 1, unlocked";
    turnPeriod = netSelectPeriod + 1;
    harness.Hold('Z');
    ASSERT_TRUE(RunUntil([&turnPeriod] { return netSelectPeriod == turnPeriod; }));
    harness.Release('Z');
    ASSERT_TRUE(RunUntil([] { return sceneNumber != SCENE_SELECT; }, 200));
    EXPECT_EQ(sceneNumber, SCENE_VERSUS);
    EXPECT_EQ(stageNumber, 0);
    EXPECT_EQ(net().nowMs, 0u) << "no wait ran out";
    NetClose();
}

TEST_F(NetworkSelectTest, XInTheStageChoiceUndoesBothSidesAndXOfAnUndecidedSideCancels) {
    bool undone = false;
    script = [&undone](uint16_t period) -> InputWord {
        if (!Odd(period)) return 0;
        if (selectScreen.state == SELECT_STAGE) {
            undone = true;
            return INPUT_X;  // the peer takes both decisions back
        }
        if (selectScreen.cursor[1] < SELECT_DECIDED_OFFSET && !undone) return INPUT_Z;
        return undone && selectScreen.cursor[0] < SELECT_DECIDED_OFFSET ? INPUT_X : 0;  // and leaves
    };
    Enter(0, 0);
    PressLocal('Z');
    ASSERT_TRUE(RunUntil([&undone] { return undone && selectScreen.state == SELECT_CHARACTER; }));
    EXPECT_EQ(selectScreen.cursor[0], 0);
    EXPECT_EQ(selectScreen.cursor[1], 1);
    ASSERT_TRUE(RunUntil([] { return sceneNumber == SCENE_TITLE; }));
    EXPECT_FALSE(NetIsOpen());
}

// After three silent waits for the peer's word the screen takes both sides
// from this machine's keys; a choice made then cannot meet the peer in a
// battle, so it goes back to the title menu.
TEST_F(NetworkSelectTest, AChoiceAfterTheConnectionWasLostLeavesForTheTitle) {
    silentFromPeriod = 2;
    Enter(0, 0);
    ASSERT_TRUE(RunUntil([] { return netConnected == 0; }));
    EXPECT_EQ(net().nowMs, 3 * NET_SELECT_WAIT_MS);
    EXPECT_TRUE(NetIsOpen());
    harness.Tap('Z');  // the keyboard decides both sides
    RunFrame();
    ASSERT_TRUE(RunUntil([] { return selectScreen.state == SELECT_STAGE; }, 10));
    RunFrame();
    harness.Tap('Z');
    ASSERT_TRUE(RunUntil([] { return sceneNumber != SCENE_SELECT; }));
    EXPECT_EQ(sceneNumber, SCENE_TITLE);
    EXPECT_FALSE(NetIsOpen());
    EXPECT_EQ(net().closes, 1);
}

TEST_F(NetworkSelectTest, WithoutAPeerItWaitsUntilXAndCloses) {
    peerPresent = false;
    gameMode = MODE_VS_NETWORK;
    sceneNumber = SCENE_SELECT;
    sceneInitPending = 1;
    ASSERT_TRUE(RunUntil([] { return selectScreen.state == SELECT_CONNECTING; }));
    for (int i = 0; i < 30; ++i) RunFrame();
    EXPECT_EQ(selectScreen.state, SELECT_CONNECTING);
    EXPECT_GE(net().sent.size(), 30u) << "a connect packet a frame";
    harness.Tap('X');
    ASSERT_TRUE(RunUntil([] { return sceneNumber == SCENE_TITLE; }));
    EXPECT_FALSE(NetIsOpen());
}

// The config.dat the game writes at its first start names this machine
// (127.0.0.1) and the game's own port as the peer. With nobody else there the
// game hears only its own connect packets through a real socket: it must not
// take them for a peer's, and stays on "connecting" until X.
TEST(NetworkSelectAlone, WithTheDefaultConfigItStaysConnectingUntilXReturnsToTheTitle) {
    test::SceneHarness harness;
    LoadConfig();
    ASSERT_STREQ(config.peerHost, "127.0.0.1");
    ASSERT_EQ(config.localSide, 0);
    // Any free port instead of the default 59999, which another program on
    // this machine may hold.
    {
        auto probe = platform::CreateUdpSocket();
        ASSERT_TRUE(probe->Open(0));
        config.port = probe->LocalPort();
    }
    gameMode = MODE_VS_NETWORK;
    sceneNumber = SCENE_SELECT;
    sceneInitPending = 1;
    testing::internal::CaptureStderr();
    harness.RunFrames(300);
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_EQ(selectScreen.state, SELECT_CONNECTING);
    EXPECT_EQ(netConnected, 0);
    EXPECT_FALSE(netPeerRefused) << "drawn as connecting";
    EXPECT_NE(told.find("hears its own connect packets"), std::string::npos) << told;
    harness.Tap('X');
    EXPECT_GE(harness.RunUntilScene(SCENE_TITLE, 200), 0);
    EXPECT_FALSE(NetIsOpen());
}

// A machine whose device refuses scenes (two frames of every three here)
// still runs every select screen's opening wipe, fade-out and closing wipe
// frame for frame with one that draws them all, so it leaves on the same
// frame: on the network select, the frame on which its peer leaves.
TEST_F(NetworkSelectTest, EverySelectScreenLeavesOnTheFrameADrawnRunLeavesWhenScenesAreRefused) {
    struct Frame {
        int32_t scene, state;
        uint8_t transition;
        bool operator==(const Frame&) const = default;
    };
    const auto run = [this](int32_t mode, int key, uint8_t slowLine, bool refuse) {
        std::memset(&systemData, 0, sizeof systemData);
        ResetFrontEndPositions();
        config.localSide = 0;
        config.slowLine = slowLine;
        gameMode = mode;
        sceneNumber = SCENE_SELECT;
        sceneInitPending = 1;
        std::vector<Frame> timeline;
        for (int frame = 0; frame < 600 && sceneNumber == SCENE_SELECT; ++frame) {
            // The key is held for four frames of every eight, so that each
            // hold reaches the peer in a word of its own at either interval.
            if (frame % 8 < 4) harness.Hold(key);
            else harness.Release(key);
            harness.device()->refuseScenes = refuse && frame % 3 != 0;
            RunFrame();
            timeline.push_back({sceneNumber, selectScreen.state, transitionRunning});
        }
        harness.device()->refuseScenes = false;
        harness.Release(key);
        NetClose();
        peerWords.clear();
        frames.clear();
        return timeline;
    };
    // The peer decides its character whenever it may, and turns the stage
    // ring from stage 0, locked here, on to stage 1.
    script = [](uint16_t period) -> InputWord {
        if (!Odd(period)) return 0;
        if (selectScreen.state == SELECT_CHARACTER && selectScreen.cursor[1] < SELECT_DECIDED_OFFSET) return INPUT_Z;
        return selectScreen.state == SELECT_STAGE && selectScreen.stageCursor == 9 ? INPUT_RIGHT : 0;
    };
    const struct {
        const char* what;
        int32_t mode;
        int key;
        uint8_t slowLine;
        int32_t leadsTo;
    } cases[] = {
        {"one player", MODE_1P_VS_CPU, 'Z', 0, SCENE_VERSUS},
        {"two players", MODE_1P_VS_2P, 'Z', 0, SCENE_VERSUS},
        {"arcade", MODE_ARCADE, 'Z', 0, SCENE_VERSUS},
        {"network", MODE_VS_NETWORK, 'Z', 0, SCENE_VERSUS},
        {"network, slow line", MODE_VS_NETWORK, 'Z', 1, SCENE_VERSUS},
        {"one player, cancelled", MODE_1P_VS_CPU, 'X', 0, SCENE_TITLE},
        {"network, cancelled", MODE_VS_NETWORK, 'X', 0, SCENE_TITLE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<Frame> drawn = run(c.mode, c.key, c.slowLine, false);
        ASSERT_EQ(drawn.back().scene, c.leadsTo);
        const std::vector<Frame> refused = run(c.mode, c.key, c.slowLine, true);
        EXPECT_EQ(refused.size(), drawn.size()) << "the frame it leaves on";
        EXPECT_TRUE(refused == drawn) << "the screen's states and transitions frame by frame";
    }
}

}  // namespace
