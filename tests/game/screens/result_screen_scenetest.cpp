// The result screen: its phase machine driven frame by frame with the
// buttons of both sides, the replay save, and where LeaveResult goes on.
#include "game/screens/result_screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "game/arena/battle_state.h"
#include "game/arena/player_record.h"
#include "game/battle/battle_scene.h"
#include "game/battle/match_rules.h"
#include "game/flow/input_words.h"
#include "game/flow/replay_file.h"
#include "game/flow/run_state.h"
#include "game/flow/save_files.h"
#include "game/flow/transitions.h"
#include "game/screens/select_screen.h"
#include "game/screens/title_menu.h"
#include "tests/support/scene_harness.h"

namespace {

namespace fs = std::filesystem;

class ResultScreenTest : public testing::Test {
protected:
    void SetUp() override {
        std::memset(&systemData, 0, sizeof systemData);
        LoadRanking();
        gameMode = MODE_PRACTICE;
        difficulty = DIFFICULTY_NORMAL;
        replayPlayback = 0;
        winnerSide = 0;
        arcadeStage = 0;
        arcadeScore = 0;
        stageGrades.clear();
        titleStartState = -1;
        battleResult = {1, 3, 900, 4000, 8000, GRADE_A, 0, 12900, 0};
        players[0].characterId = 1;
        players[1].characterId = 2;
    }

    // Enters the screen and waits out its opening wipe.
    void Enter() {
        sceneNumber = SCENE_RESULT;
        sceneInitPending = 1;
        InitResult();
        transitionRunning = 0;
        Step({});
        ASSERT_EQ(resultScreen.phase, RESULT_PHASE_SHOW);
    }

    // One update with these buttons just pressed on side 0 (and on side 1).
    void Step(std::initializer_list<int> pressed, std::initializer_list<int> pressedBySide1 = {}) {
        for (auto& side : buttonStates) std::fill(std::begin(side), std::end(side), BUTTON_STATE_UP);
        for (int slot : pressed) buttonStates[0][slot] = BUTTON_STATE_PRESSED;
        for (int slot : pressedBySide1) buttonStates[1][slot] = BUTTON_STATE_PRESSED;
        UpdateResult();
    }

    // Frames of plain updates until the phase is `phase`; -1 past `limit`.
    int StepsUntil(int32_t phase, int limit) {
        for (int frames = 1; frames <= limit; ++frames) {
            Step({});
            if (resultScreen.phase == phase) return frames;
        }
        return -1;
    }

    test::SceneHarness harness;
};

TEST_F(ResultScreenTest, ZBringsThePanelsInAtOnceThenLeaves) {
    Enter();
    Step({}, {BUTTON_Z});  // either side's Z
    const ResultScreenState& r = resultScreen;
    EXPECT_FLOAT_EQ(r.headingSlide, 0.0f);
    EXPECT_FLOAT_EQ(r.lifeSlide, -0.5f);
    EXPECT_FLOAT_EQ(r.timeSlide, -1.0f);
    EXPECT_FLOAT_EQ(r.comboSlide, -1.5f);
    EXPECT_FLOAT_EQ(r.scoreSlide, -2.0f);
    EXPECT_FLOAT_EQ(r.gradeSlide, -3.0f);
    EXPECT_EQ(r.phase, RESULT_PHASE_SHOW);
    Step({BUTTON_Z});
    EXPECT_EQ(r.phase, RESULT_PHASE_LEAVE);
    EXPECT_EQ(transitionKind, TRANSITION_KIND_100);  // the covering wipe
    transitionRunning = 1;
    Step({});
    EXPECT_EQ(r.leavePending, 0);
    transitionRunning = 0;
    Step({});
    EXPECT_EQ(r.leavePending, 1);
}

TEST_F(ResultScreenTest, TheScoreCountsUpToItsValue) {
    battleResult.previousScore = 12800;
    Enter();
    EXPECT_EQ(battleResult.previousScore, 12800);  // still while the wipe runs
    Step({});
    EXPECT_EQ(battleResult.previousScore, 12855);
    Step({});
    EXPECT_EQ(battleResult.previousScore, 12900);
}

TEST_F(ResultScreenTest, HyperButtonSavesTheReplayOnce) {
    StartReplayRecording({1, 2, 0, 0, 1, 0, 1, 0, 0});
    RecordReplayInput(0, 0x10);
    RecordReplayInput(1, 0x20);
    std::strcpy(replayFileName, "replay\\tobra000.rpl");
    const fs::path saved = harness.folder().path() / "replay" / "tobra000.rpl";
    Enter();
    Step({BUTTON_C});
    EXPECT_EQ(resultScreen.replaySaved, 1);
    ASSERT_TRUE(fs::exists(saved));
    fs::remove(saved);
    Step({}, {BUTTON_C});
    EXPECT_FALSE(fs::exists(saved));  // one file per visit

    replayPlayback = 1;
    Enter();
    Step({BUTTON_C});
    EXPECT_EQ(resultScreen.replaySaved, 0);
    EXPECT_FALSE(fs::exists(saved));
}

class ArcadeResultTest : public ResultScreenTest {
protected:
    void SetUp() override {
        ResultScreenTest::SetUp();
        gameMode = MODE_ARCADE;
        winnerSide = 1;
        arcadeStage = 2;
    }
};

TEST_F(ArcadeResultTest, ALossWaitsForTheHeadingThenOffersTheContinue) {
    Enter();
    const int frames = StepsUntil(RESULT_PHASE_CONTINUE, 1000);
    EXPECT_GE(frames, 398);  // -10 to below -30 at 0.05 a frame
    EXPECT_LE(frames, 402);
    EXPECT_FLOAT_EQ(resultScreen.lifeSlide, -10.0f);
    EXPECT_FLOAT_EQ(resultScreen.standAlpha, 1.0f);
}

TEST_F(ArcadeResultTest, TheCountdownRunsOutOrIsCutByX) {
    Enter();
    Step({BUTTON_Z});
    ASSERT_EQ(resultScreen.phase, RESULT_PHASE_CONTINUE);
    EXPECT_EQ(StepsUntil(RESULT_PHASE_CONTINUE_LEAVE, 2000), RESULT_CONTINUE_FRAMES);
    EXPECT_EQ(resultScreen.continueChosen, 0);
    EXPECT_EQ(transitionKind, TRANSITION_KIND_100);  // the covering wipe

    Enter();
    Step({BUTTON_Z});
    for (int press = 1; press <= 9; ++press) Step({BUTTON_X});
    EXPECT_EQ(resultScreen.continueCountdown, 110);  // the shown digit is 0
    EXPECT_EQ(resultScreen.phase, RESULT_PHASE_CONTINUE);
    Step({BUTTON_X});
    EXPECT_EQ(resultScreen.continueCountdown, 0);
    EXPECT_EQ(resultScreen.phase, RESULT_PHASE_CONTINUE_LEAVE);

    Enter();
    Step({BUTTON_Z});
    Step({BUTTON_Z});
    EXPECT_EQ(resultScreen.continueChosen, 1);
    EXPECT_EQ(resultScreen.phase, RESULT_PHASE_CONTINUE_LEAVE);
    EXPECT_EQ(transitionKind, TRANSITION_FADE_OUT);
}

TEST_F(ArcadeResultTest, NoContinueOnTheExtraStageOrInAPlayback) {
    for (auto [stage, playback] : {std::pair{6, 0}, std::pair{2, 1}}) {
        arcadeStage = stage;
        replayPlayback = playback;
        Enter();
        Step({BUTTON_Z});
        EXPECT_EQ(resultScreen.phase, RESULT_PHASE_LEAVE) << "stage " << stage << " playback " << playback;
    }
}

struct LeaveCase {
    const char* label;
    int32_t mode, stage, winner, stageNumber, difficulty, character;
    std::vector<int32_t> grades;
    uint8_t continueChosen, playback;
    int32_t scene, stageAfter, titleState;
    bool cleared;  // the character is marked cleared and the extra menu opens
};

const LeaveCase kLeaveCases[] = {
    {"win on stage 2 goes on", MODE_ARCADE, 2, 0, 3, 1, 1, {0, 1}, 0, 0, SCENE_VERSUS, 3, -1, false},
    {"stage-5 win at EASY ends the run", MODE_ARCADE, 5, 0, 5, 0, 1, {0, 0, 0, 0, 0}, 0, 0, SCENE_STAFF_ROLL, 5, 5,
     true},
    {"stage-5 win with grades over 12 ends it", MODE_ARCADE, 5, 0, 5, 1, 1, {3, 3, 3, 4, 0}, 0, 0, SCENE_STAFF_ROLL,
     5, 5, true},
    {"stage-5 win on stage 8 ends it", MODE_ARCADE, 5, 0, 8, 1, 1, {0, 0, 0, 0, 0}, 0, 0, SCENE_STAFF_ROLL, 5, 5,
     true},
    {"a clear after a continue marks nothing", MODE_ARCADE, 5, 0, 5, 0, 1, {7, 0, 0, 0, 0}, 0, 0, SCENE_STAFF_ROLL,
     5, 5, false},
    {"stage-5 win with grades of 12 shows the animation", MODE_ARCADE, 5, 0, 5, 1, 1, {3, 3, 3, 3, 0}, 0, 0,
     SCENE_ANIMATION, 6, -1, false},
    {"character 8 goes straight to the extra stage", MODE_ARCADE, 5, 0, 5, 1, 8, {0, 0, 0, 0, 0}, 0, 0,
     SCENE_VERSUS, 6, -1, false},
    {"the extra stage won ends the run", MODE_ARCADE, 6, 0, 0, 2, 1, {0, 0, 0, 0, 0, 0}, 0, 0, SCENE_STAFF_ROLL, 6,
     5, true},
    {"the extra stage lost ends the run", MODE_ARCADE, 6, 1, 0, 2, 1, {0, 0, 0, 0, 0, 0}, 0, 0, SCENE_TITLE, 6, 5,
     false},
    {"a loss without continue ends the run", MODE_ARCADE, 3, 1, 4, 1, 1, {0, 0, 0}, 0, 0, SCENE_TITLE, 3, 5, false},
    {"a loss with continue replays the stage", MODE_ARCADE, 3, 1, 4, 1, 1, {0, 0, 0}, 1, 0, SCENE_VERSUS, 3, -1,
     false},
    {"a played-back arcade win changes nothing", MODE_ARCADE, 5, 0, 5, 0, 1, {0, 0, 0}, 0, 1, SCENE_TITLE, 5, -1,
     false},
    {"practice goes back to the select screen", MODE_PRACTICE, 0, 1, 3, 1, 1, {}, 0, 0, SCENE_SELECT, 0, -1, false},
    {"two players go back to the select screen", MODE_1P_VS_2P, 0, 0, 3, 1, 1, {}, 0, 0, SCENE_SELECT, 0, -1,
     false},
    {"a playback goes back to the title", MODE_1P_VS_CPU, 0, 0, 3, 1, 1, {}, 0, 1, SCENE_TITLE, 0, -1, false},
};

TEST_F(ResultScreenTest, LeaveResultOutcomes) {
    for (const LeaveCase& c : kLeaveCases) {
        SCOPED_TRACE(c.label);
        SetUp();
        gameMode = c.mode;
        arcadeStage = c.stage;
        winnerSide = c.winner;
        stageNumber = c.stageNumber;
        difficulty = c.difficulty;
        players[0].characterId = c.character;
        stageGrades = c.grades;
        // The screen is entered first, so that what it leaves is its own.
        InitResult();
        resultScreen.continueChosen = c.continueChosen;
        replayPlayback = c.playback;
        arcadeScore = 20000;
        rankingPlace = RANKING_NOT_ENTERED;
        animationNextScene = SCENE_TITLE;
        sceneInitPending = 0;

        LeaveResult();
        EXPECT_EQ(sceneNumber, c.scene);
        EXPECT_EQ(sceneInitPending, 1);
        EXPECT_EQ(arcadeStage, c.stageAfter);
        EXPECT_EQ(titleStartState, c.titleState);
        EXPECT_EQ(systemData.cleared[c.difficulty][c.character], c.cleared ? 1 : 0);
        EXPECT_EQ(systemData.extraUnlocked, c.cleared ? 1 : 0);
        EXPECT_EQ(animationNextScene, c.scene == SCENE_ANIMATION ? SCENE_VERSUS : SCENE_TITLE);
        const bool runEnded = c.titleState == 5;
        EXPECT_EQ(rankingPlace, runEnded ? 0 : RANKING_NOT_ENTERED);
        EXPECT_EQ(fs::exists(harness.folder().path() / "ranking.dat"), runEnded);
        if (runEnded) {
            EXPECT_EQ(rankingTables[c.difficulty].entries[0].score, 20000);
        }
        const bool continued = c.mode == MODE_ARCADE && c.winner == 1 && c.continueChosen && !c.playback;
        EXPECT_EQ(arcadeScore, continued ? 0 : 20000);
        if (continued) {
            EXPECT_EQ(stageGrades, std::vector<int32_t>(c.grades.size(), GRADE_CONTINUE));
        }
        fs::remove(harness.folder().path() / "ranking.dat");
    }
}

}  // namespace
