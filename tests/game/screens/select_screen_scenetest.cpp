// The one-player select screen: its wheel lay-out, its lists, and its state
// machine driven frame by frame with side 0's buttons.
#include "game/screens/select_screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <map>
#include <vector>

#include "engine/core/math.h"
#include "game/arena/battle_state.h"
#include "game/arena/player_record.h"
#include "game/flow/input_words.h"
#include "game/flow/replay_file.h"
#include "game/flow/run_state.h"
#include "game/flow/save_files.h"
#include "game/flow/transitions.h"
#include "tests/support/scene_harness.h"

namespace {

std::vector<int32_t> Ring(int side) {
    return std::vector<int32_t>(selectScreen.wheelRing[side], selectScreen.wheelRing[side] + SELECT_WHEEL_POSITIONS);
}

TEST(LayOutSelectWheel, PlacesFiveEntriesEachSideOfTheCursor) {
    struct Case {
        int32_t count, cursor;
        std::vector<int32_t> ring;  // positions 0 to 11; 6 is never laid out
    };
    const Case cases[] = {
        {6, 0, {0, 1, 2, 3, 4, 5, -1, 1, 2, 3, 4, 5}},
        {6, 3, {3, 4, 5, 0, 1, 2, -1, 4, 5, 0, 1, 2}},
        {8, 105, {5, 6, 7, 0, 1, 2, -1, 0, 1, 2, 3, 4}},  // decided: the index is cursor mod 100
        {8, 207, {7, 0, 1, 2, 3, 4, -1, 2, 3, 4, 5, 6}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.count << " ids, cursor " << c.cursor);
        selectScreen.characterIds.assign(static_cast<size_t>(c.count), 1);
        for (int side = 0; side < 2; ++side) {
            std::fill(std::begin(selectScreen.wheelRing[side]), std::end(selectScreen.wheelRing[side]), -1);
            selectScreen.cursor[side] = c.cursor;
        }
        LayOutSelectWheel();
        EXPECT_EQ(Ring(0), c.ring);
        EXPECT_EQ(Ring(1), c.ring);
    }
}

TEST(SelectLists, OnlyKnownIdsCountAndTheDefaultsAlwaysShow) {
    std::memset(&systemData, 0, sizeof systemData);
    EXPECT_EQ(ListSelectableCharacters(), (std::vector<int32_t>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(ListSelectableStages(), (std::vector<int32_t>{1, 2, 3, 4, 5}));
    std::memset(systemData.characterUnlocked, 1, sizeof systemData.characterUnlocked);
    std::memset(systemData.stageUnlocked, 1, sizeof systemData.stageUnlocked);
    EXPECT_EQ(ListSelectableCharacters(), (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(ListSelectableStages(), (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
}

// A fresh select screen with the default unlocks, its opening transition
// over, updated one frame at a time with the buttons a test gives.
class SelectScreenTest : public testing::Test {
protected:
    void SetUp() override {
        std::memset(&systemData, 0, sizeof systemData);
        lastSelectedCharacters[0] = 1;
        lastSelectedCharacters[1] = 2;
        lastSelectedStage = 1;
        Enter();
    }

    void Enter() {
        gameMode = MODE_PRACTICE;
        sceneNumber = SCENE_SELECT;
        sceneInitPending = 1;
        InitSelect();
        transitionRunning = 0;
        Step({});
        ASSERT_EQ(selectScreen.state, SELECT_CHARACTER);
    }

    // Releases the running screen's pictures and enters it afresh.
    void Reenter() {
        selectScreen.state = SELECT_CANCELLED;  // leaves the remembered choice alone
        LeaveSelect();
        Enter();
    }

    // One update with these buttons just pressed and those held.
    void Step(std::initializer_list<int> pressed, std::initializer_list<int> held = {}) {
        std::fill(std::begin(buttonStates[0]), std::end(buttonStates[0]), BUTTON_STATE_UP);
        for (int slot : held) buttonStates[0][slot] = BUTTON_STATE_HELD;
        for (int slot : pressed) buttonStates[0][slot] = BUTTON_STATE_PRESSED;
        UpdateSelect();
    }

    // Waits out the closing transition and leaves.
    void Leave() {
        transitionRunning = 0;
        Step({});
        ASSERT_EQ(selectScreen.leaveRequested, 1);
        LeaveSelect();
    }

    test::SceneHarness harness;
};

TEST_F(SelectScreenTest, ChoosingBothSidesAndAStageLeadsToTheVersusScreen) {
    Step({BUTTON_LEFT});  // LEFT advances side 0
    EXPECT_EQ(selectScreen.cursor[0], 1);
    Step({BUTTON_RIGHT});
    Step({BUTTON_RIGHT});  // wraps to the last of six
    EXPECT_EQ(selectScreen.cursor[0], 5);
    EXPECT_EQ(selectScreen.wheelRing[0][0], 5);
    Step({BUTTON_Z});
    EXPECT_EQ(selectScreen.state, SELECT_OPPONENT);
    EXPECT_EQ(selectScreen.cursor[0], 105);

    EXPECT_EQ(selectScreen.cursor[1], 1);  // remembered character 2
    Step({BUTTON_LEFT});  // LEFT takes side 1 back
    EXPECT_EQ(selectScreen.cursor[1], 0);
    Step({BUTTON_Z}, {BUTTON_S});
    EXPECT_EQ(selectScreen.state, SELECT_STAGE);
    EXPECT_EQ(selectScreen.cursor[1], 200);

    // Five stages listed twice; the cursor stays within 3 to 7.
    EXPECT_EQ(selectScreen.stageIds, (std::vector<int32_t>{1, 2, 3, 4, 5, 1, 2, 3, 4, 5}));
    EXPECT_EQ(selectScreen.stageCursor, 5);  // remembered stage 1
    Step({BUTTON_RIGHT});
    Step({BUTTON_RIGHT});
    EXPECT_EQ(selectScreen.stageCursor, 7);
    Step({BUTTON_RIGHT});
    EXPECT_EQ(selectScreen.stageCursor, 3);
    Step({BUTTON_LEFT});
    EXPECT_EQ(selectScreen.stageCursor, 7);
    Step({BUTTON_Z});
    EXPECT_EQ(selectScreen.state, SELECT_DECIDED);
    EXPECT_EQ(transitionKind, TRANSITION_FADE_OUT);

    transitionRunning = 1;
    Step({});
    EXPECT_EQ(selectScreen.leaveRequested, 0);  // the fade-out is still running
    replayPlayback = 1;
    Leave();
    EXPECT_EQ(players[0].characterId, 6);
    EXPECT_EQ(players[0].colour, 0);
    EXPECT_EQ(players[1].characterId, 1);
    EXPECT_EQ(players[1].colour, 1);
    EXPECT_EQ(stageNumber, 3);  // entry 7 of the doubled list
    EXPECT_EQ(lastSelectedCharacters[0], 6);
    EXPECT_EQ(lastSelectedCharacters[1], 1);
    EXPECT_EQ(lastSelectedStage, 3);
    EXPECT_EQ(replayPlayback, 0);
    EXPECT_EQ(sceneNumber, SCENE_VERSUS);
    EXPECT_EQ(sceneInitPending, 1);
    EXPECT_TRUE(selectScreen.standSheets.empty());
    EXPECT_EQ(selectScreen.faceTexture, nullptr);
    EXPECT_EQ(selectSkyModel, nullptr);
}

TEST_F(SelectScreenTest, CancelsUndoOneDecisionAtATime) {
    Step({BUTTON_Z});
    Step({BUTTON_Z});
    ASSERT_EQ(selectScreen.state, SELECT_STAGE);
    Step({BUTTON_X});
    EXPECT_EQ(selectScreen.state, SELECT_OPPONENT);
    EXPECT_EQ(selectScreen.cursor[1], 1);
    EXPECT_EQ(selectScreen.cursor[0], 100);
    Step({BUTTON_X});
    EXPECT_EQ(selectScreen.state, SELECT_CHARACTER);
    EXPECT_EQ(selectScreen.cursor[0], 0);
}

TEST_F(SelectScreenTest, DecideAndCancelInOneFrameCancelsToTheTitle) {
    players[0].characterId = 7;
    Step({BUTTON_Z, BUTTON_X});
    EXPECT_EQ(selectScreen.state, SELECT_CANCELLED);
    Leave();
    EXPECT_EQ(sceneNumber, SCENE_TITLE);
    EXPECT_EQ(players[0].characterId, 7);
}

TEST_F(SelectScreenTest, SameCharacterInSameColourPlaysInBothColours) {
    struct Case {
        bool sideOneHoldsS;
        int32_t colour0, colour1;
    };
    for (const Case c : {Case{false, 1, 0}, Case{true, 0, 1}}) {
        SCOPED_TRACE(c.sideOneHoldsS);
        lastSelectedCharacters[0] = 1;
        lastSelectedCharacters[1] = 2;
        Reenter();
        Step({BUTTON_Z}, {BUTTON_S});  // side 0 in colour 1
        Step({BUTTON_RIGHT});
        Step({BUTTON_RIGHT});
        Step({BUTTON_RIGHT});
        Step({BUTTON_RIGHT});
        Step({BUTTON_RIGHT});  // side 1 onto side 0's character
        if (c.sideOneHoldsS)
            Step({BUTTON_Z}, {BUTTON_S});
        else
            Step({BUTTON_Z});
        Step({BUTTON_Z});
        Leave();
        EXPECT_EQ(players[0].characterId, players[1].characterId);
        // Different colours stay as chosen; the same colour becomes 0 and 1.
        EXPECT_EQ(players[0].colour, c.colour0);
        EXPECT_EQ(players[1].colour, c.colour1);
    }
}

TEST_F(SelectScreenTest, ARememberedCharacterThatIsGoneStartsAtTheFirst) {
    lastSelectedCharacters[0] = 8;  // locked
    lastSelectedCharacters[1] = 4;
    Reenter();
    EXPECT_EQ(selectScreen.cursor[0], 0);
    EXPECT_EQ(selectScreen.cursor[1], 3);
}

TEST_F(SelectScreenTest, RandomPicksDecideColourZeroAndReachEveryStage) {
    SeedRandom(7);
    Step({BUTTON_C}, {BUTTON_S});
    EXPECT_EQ(selectScreen.state, SELECT_OPPONENT);
    EXPECT_GE(selectScreen.cursor[0], 100);
    EXPECT_LT(selectScreen.cursor[0], 106);
    Step({BUTTON_C}, {BUTTON_S});
    EXPECT_EQ(selectScreen.state, SELECT_STAGE);
    EXPECT_LT(selectScreen.cursor[1], 106);

    // Every unlocked stage can come up. The pick is RandomInt(0, m - 1) over
    // the doubled list, so a stage is as likely as RandomInt's value is to
    // fall on one of its two entries; the two-draw product leans toward
    // multiples of 5, the first stage here.
    std::map<int32_t, int> picks;
    for (int i = 0; i < 1000; ++i) {
        selectScreen.state = SELECT_STAGE;
        Step({BUTTON_C});
        ASSERT_EQ(selectScreen.state, SELECT_DECIDED);
        ASSERT_GE(selectScreen.stageCursor, 3);
        ASSERT_LT(selectScreen.stageCursor, 8);
        ++picks[selectScreen.stageIds[static_cast<size_t>(selectScreen.stageCursor)]];
    }
    ASSERT_EQ(picks.size(), 5u);
    for (auto [stage, count] : picks) EXPECT_GT(count, 100) << "stage " << stage;
}

}  // namespace
