// The two-player and arcade select screens: their state machines driven frame
// by frame with each side's own buttons, the arcade start of the ladder, and
// the cancel that comes in the same frame as a decision on every select
// screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "engine/core/math.h"
#include "game/arena/battle_state.h"
#include "game/arena/player_record.h"
#include "game/battle/match_rules.h"
#include "game/flow/input_words.h"
#include "game/flow/replay_file.h"
#include "game/flow/run_state.h"
#include "game/flow/save_files.h"
#include "game/flow/transitions.h"
#include "game/screens/select_screen.h"
#include "tests/support/scene_harness.h"

namespace {

// The buttons of one frame: pressed and held, per side.
struct Buttons {
    std::vector<int> pressed{}, held{};
};
struct Frame {
    Buttons side0, side1;
};

// One select screen as the tests drive it.
struct Variant {
    const char* name;
    void (*init)();
    void (*update)();
    void (*leave)();
};
const Variant kOnePlayer{"one player", InitSelect, UpdateSelect, LeaveSelect};
const Variant kTwoPlayer{"two players", InitSelect, UpdateTwoPlayerSelect, LeaveSelect};
const Variant kArcade{"arcade", InitArcadeSelect, UpdateArcadeSelect, LeaveArcadeSelect};

// A select screen with the default unlocks and remembered characters 1 and 2
// (cursors 0 and 1) and stage 1 (stage cursor 5), its opening transition over.
class SelectVariantTest : public testing::Test {
protected:
    void SetUp() override {
        std::memset(&systemData, 0, sizeof systemData);
        lastSelectedCharacters[0] = 1;
        lastSelectedCharacters[1] = 2;
        lastSelectedStage = 1;
    }
    void TearDown() override {
        if (selectScreen.faceTexture) {  // still open: release its pictures
            selectScreen.state = SELECT_CANCELLED;
            variant_->leave();
        }
    }

    void Enter(const Variant& variant) {
        TearDown();
        variant_ = &variant;
        sceneNumber = SCENE_SELECT;
        sceneInitPending = 1;
        variant.init();
        transitionRunning = 0;
        Step({});
        ASSERT_EQ(selectScreen.state, SELECT_CHARACTER);
    }

    void Step(const Frame& frame) {
        const Buttons* sides[2] = {&frame.side0, &frame.side1};
        for (int side = 0; side < 2; ++side) {
            std::fill(std::begin(buttonStates[side]), std::end(buttonStates[side]), BUTTON_STATE_UP);
            for (int slot : sides[side]->held) buttonStates[side][slot] = BUTTON_STATE_HELD;
            for (int slot : sides[side]->pressed) buttonStates[side][slot] = BUTTON_STATE_PRESSED;
        }
        variant_->update();
    }
    void Steps(const std::vector<Frame>& frames) {
        for (const Frame& frame : frames) Step(frame);
    }

    // Waits out the closing transition and leaves, when the screen is leaving.
    void Leave() {
        transitionRunning = 0;
        Step({});
        if (selectScreen.leaveRequested) variant_->leave();
    }

    test::SceneHarness harness;
    const Variant* variant_ = &kOnePlayer;
};

constexpr int L = BUTTON_LEFT, R = BUTTON_RIGHT, Z = BUTTON_Z, X = BUTTON_X, C = BUTTON_C, S = BUTTON_S;

TEST_F(SelectVariantTest, TwoPlayersChooseAtOnceWithTheirOwnButtons) {
    struct Case {
        const char* what;
        std::vector<Frame> frames;
        int32_t state, cursor0, cursor1;
    };
    const Case cases[] = {
        {"both decide in one frame", {{{{Z}}, {{Z}}}}, SELECT_STAGE, 100, 101},
        {"side 0 first, side 1 turns then decides",
         {{{{Z}}, {}}, {{}, {{R}}}, {{}, {{R}}}, {{}, {{Z}}}},
         SELECT_STAGE,
         100,
         103},
        {"side 1 first, side 0 turns back then decides",
         {{{}, {{Z}}}, {{{R}}, {}}, {{{Z}}, {}}},
         SELECT_STAGE,
         105,
         101},
        {"each side's wheel turns its own way", {{{{L}}, {{L}}}}, SELECT_CHARACTER, 1, 0},
        {"each side's S gives its own colour 1", {{{{Z}, {}}, {{Z}, {S}}}}, SELECT_STAGE, 100, 201},
        {"side 0's S does not colour side 1", {{{{}, {S}}, {{Z}}}}, SELECT_CHARACTER, 0, 101},
        {"a decided side ignores its arrows and Z",
         {{{{Z}}, {}}, {{{L}}, {}}, {{{Z}, {S}}, {}}},
         SELECT_CHARACTER,
         100,
         1},
        {"a decided side's X undoes without leaving", {{{{Z}}, {}}, {{{X}}, {}}}, SELECT_CHARACTER, 0, 1},
        {"Z then X of one side in one frame: undecided again", {{{{Z, X}}, {}}}, SELECT_CHARACTER, 0, 1},
        {"an undecided side's X leaves though the other decided",
         {{{{Z}}, {}}, {{}, {{X}}}},
         SELECT_CANCELLED,
         100,
         1},
        {"X undoing a side drops its C of that frame", {{{{Z}}, {}}, {{{X, C}}, {{Z}}}}, SELECT_CHARACTER, 0, 101},
        {"X cancelling the screen drops every C of that frame",
         {{{}, {{Z}}}, {{{X}}, {{C}}}},
         SELECT_CANCELLED,
         0,
         101},
        {"either side decides the stage", {{{{Z}}, {{Z}}}, {{}, {{Z}}}}, SELECT_DECIDED, 100, 101},
        {"either side's X in the stage undoes both", {{{{Z}}, {{Z}}}, {{}, {{X}}}}, SELECT_CHARACTER, 0, 1},
        {"X with Z in the stage goes back, undecided", {{{{Z}}, {{Z}}}, {{{Z}}, {{X}}}}, SELECT_CHARACTER, 0, 1},
        {"side 1's C does not pick a stage", {{{{Z}}, {{Z}}}, {{}, {{C}}}}, SELECT_STAGE, 100, 101},
        {"side 0's C picks a stage", {{{{Z}}, {{Z}}}, {{{C}}, {}}}, SELECT_DECIDED, 100, 101},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Enter(kTwoPlayer);
        Steps(c.frames);
        EXPECT_EQ(selectScreen.state, c.state);
        EXPECT_EQ(selectScreen.cursor[0], c.cursor0);
        EXPECT_EQ(selectScreen.cursor[1], c.cursor1);
        EXPECT_EQ(selectScreen.wheelRing[0][0], c.cursor0 % 100);
        EXPECT_EQ(selectScreen.wheelRing[1][0], c.cursor1 % 100);
    }
}

TEST_F(SelectVariantTest, TwoPlayerStageCursorWrapsAndTheChoiceIsWritten) {
    Enter(kTwoPlayer);
    Steps({{{{R}}, {{L}}}, {{{Z}, {S}}, {{Z}, {S}}}});  // characters 6 and 1, both in colour 1
    ASSERT_EQ(selectScreen.state, SELECT_STAGE);
    Steps({{{{R}}, {{R}}}, {{}, {{R}}}, {{{R}}, {}}});  // both at once move it once: 5 -> 7, then wraps to 3
    EXPECT_EQ(selectScreen.stageCursor, 3);
    Step({{}, {{Z}}});
    ASSERT_EQ(selectScreen.state, SELECT_DECIDED);
    Leave();
    EXPECT_EQ(sceneNumber, SCENE_VERSUS);
    EXPECT_EQ(players[0].characterId, 6);
    EXPECT_EQ(players[1].characterId, 1);
    EXPECT_EQ(players[0].colour, 1);
    EXPECT_EQ(players[1].colour, 1);
    EXPECT_EQ(stageNumber, 4);  // entry 3 of 1..5 listed twice
    EXPECT_EQ(lastSelectedCharacters[0], 6);
    EXPECT_EQ(lastSelectedCharacters[1], 1);
}

TEST_F(SelectVariantTest, TwoPlayerRandomPicksKeepBothSidesDecidedInColourZero) {
    SeedRandom(11);
    Enter(kTwoPlayer);
    Step({{{Z}, {S}}, {}});
    ASSERT_EQ(selectScreen.cursor[0], 200);
    for (int i = 0; i < 40; ++i) {
        Step({{{C}, {S}}, {}});  // side 0 picks again, still decided, colour 0
        ASSERT_EQ(selectScreen.state, SELECT_CHARACTER);
        ASSERT_GE(selectScreen.cursor[0], 100);
        ASSERT_LT(selectScreen.cursor[0], 106);
    }
    Step({{}, {{C}, {S}}});
    EXPECT_EQ(selectScreen.state, SELECT_STAGE);
    EXPECT_GE(selectScreen.cursor[1], 100);
    EXPECT_LT(selectScreen.cursor[1], 106);
}

// The arcade select: only side 0's character, always colour 0, and on
// leaving the ladder's first battle.
TEST_F(SelectVariantTest, ArcadeChoiceStartsTheLadderAtItsFirstBattle) {
    struct Case {
        int lefts;             // cursor moves from character 1
        int32_t character;     // the one chosen
        int32_t opponent;      // the first of the ladder, never the same character
    };
    for (const Case c : {Case{0, 1, 2}, Case{1, 2, 1}, Case{4, 5, 2}}) {
        SCOPED_TRACE(c.character);
        lastSelectedCharacters[0] = 1;
        arcadeStage = 4;
        arcadeScore = 12345;
        stageGrades = {GRADE_A, GRADE_B};
        replayPlayback = 1;
        Enter(kArcade);
        for (int i = 0; i < c.lefts; ++i) Step({{{L}}, {}});
        Step({{{Z}, {S}}, {{Z}, {S}}});  // S gives no colour here; side 1 has no say
        ASSERT_EQ(selectScreen.state, SELECT_DECIDED);
        EXPECT_EQ(selectScreen.cursor[1], 1);
        Leave();
        EXPECT_EQ(sceneNumber, SCENE_VERSUS);
        EXPECT_EQ(players[0].characterId, c.character);
        EXPECT_EQ(players[0].colour, 0);
        EXPECT_EQ(players[1].characterId, c.opponent);
        EXPECT_EQ(stageNumber, 1);
        EXPECT_EQ(arcadeStage, 0);
        EXPECT_TRUE(stageGrades.empty());
        EXPECT_EQ(arcadeScore, 0);
        EXPECT_EQ(replayPlayback, 0);
        EXPECT_EQ(lastSelectedCharacters[0], c.character);
        EXPECT_EQ(lastSelectedCharacters[1], 2);
        EXPECT_EQ(selectScreen.arcadeStandTexture, nullptr);
        EXPECT_EQ(selectScreen.faceTexture, nullptr);
    }
}

TEST_F(SelectVariantTest, ArcadeCancelKeepsTheRunAndItsStandPictureFollowsTheCursor) {
    arcadeScore = 777;
    stageGrades = {GRADE_S};
    Enter(kArcade);
    EXPECT_NE(selectScreen.arcadeStandTexture, nullptr);
    EXPECT_TRUE(selectScreen.standSheets.empty());
    Steps({{{{R}}, {}}, {{{R}}, {}}});  // wraps back to the last of six
    EXPECT_EQ(selectScreen.cursor[0], 4);
    EXPECT_NE(selectScreen.arcadeStandTexture, nullptr);
    Step({{}, {{L}, {}}});  // side 1's buttons do nothing here
    Step({{}, {{X}}});
    EXPECT_EQ(selectScreen.cursor[0], 4);
    EXPECT_EQ(selectScreen.state, SELECT_CHARACTER);
    Step({{{Z, X}}, {}});  // Z then X in one frame: the cancel holds
    EXPECT_EQ(selectScreen.state, SELECT_CANCELLED);
    Leave();
    EXPECT_EQ(sceneNumber, SCENE_TITLE);
    EXPECT_EQ(arcadeScore, 777);
    EXPECT_EQ(stageGrades, std::vector<int32_t>{GRADE_S});
    EXPECT_EQ(selectScreen.arcadeStandTexture, nullptr);
}

// On every select screen and in every choosing state, a cancel in the frame
// of a decision, from either side's buttons, never lets the screen leave with
// a side undecided: whatever follows, a match that starts has both
// characters in 1..8 and both colours in 0..1.
TEST_F(SelectVariantTest, CancelInTheFrameOfADecisionNeverLeavesASideUndecided) {
    struct Start {
        const Variant* variant;
        std::vector<Frame> frames;  // to the state under test
        bool sideOneButtons;        // side 1's buttons count on this screen
    };
    const Start starts[] = {
        {&kOnePlayer, {}, false},
        {&kOnePlayer, {{{{Z}}, {}}}, false},
        {&kOnePlayer, {{{{Z}}, {}}, {{{Z}}, {}}}, false},
        {&kTwoPlayer, {}, true},
        {&kTwoPlayer, {{{{Z}}, {}}}, true},
        {&kTwoPlayer, {{{}, {{Z}}}}, true},
        {&kTwoPlayer, {{{{Z}}, {{Z}}}}, true},
        {&kArcade, {}, false},
    };
    const std::vector<std::vector<int>> combos = {{X, Z}, {X, C}, {X, Z, C}};
    for (const Start& start : starts) {
        for (const std::vector<int>& combo : combos) {
            for (int by = 0; by < (start.sideOneButtons ? 3 : 1); ++by) {  // side 0, side 1, both
                for (bool holdS : {false, true}) {
                    SCOPED_TRACE(testing::Message() << start.variant->name << ", " << start.frames.size()
                                                    << " frames in, combo of " << combo.size() << " by " << by
                                                    << (holdS ? " with S" : ""));
                    Enter(*start.variant);
                    Steps(start.frames);
                    const Buttons pressed{combo, holdS ? std::vector<int>{S} : std::vector<int>{}};
                    Step({by != 1 ? pressed : Buttons{}, by != 0 ? pressed : Buttons{}});
                    // Whatever is left undecided, decide it with Z on both sides.
                    for (int i = 0; i < 4 && selectScreen.state < SELECT_DECIDED; ++i) Step({{{Z}}, {{Z}}});
                    players[0].characterId = players[1].characterId = 1;
                    players[0].colour = players[1].colour = 0;
                    Leave();
                    ASSERT_TRUE(sceneNumber == SCENE_VERSUS || sceneNumber == SCENE_TITLE);
                    for (int side = 0; side < 2; ++side) {
                        EXPECT_GE(players[side].characterId, 1);
                        EXPECT_LE(players[side].characterId, 8);
                        EXPECT_GE(players[side].colour, 0);
                        EXPECT_LE(players[side].colour, 1);
                    }
                }
            }
        }
    }
}

}  // namespace
