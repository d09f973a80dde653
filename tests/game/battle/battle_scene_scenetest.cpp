// Whole battles through the battle scene, headless: the frame's order, the
// countdown, the timer, knock-outs, the pause menu and the ways out.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engine/core/math.h"
#include "game/arena/battle_state.h"
#include "game/arena/object_lists.h"
#include "game/arena/player_record.h"
#include "game/battle/battle_menu.h"
#include "game/battle/battle_scene.h"
#include "game/battle/match_rules.h"
#include "game/flow/replay_file.h"
#include "game/flow/save_files.h"
#include "game/flow/transitions.h"
#include "game/screens/replay_list.h"
#include "game/screens/title_menu.h"
#include "game/shots/screen_flashes.h"
#include "tests/support/battle_run.h"

namespace {

// Every button and one arrow of each pair (a stick points one way at a time).
constexpr InputWord ALL_BUTTONS = 0x7ff & ~(INPUT_RIGHT | INPUT_DOWN);
// The first frame whose input is not masked by the start countdown.
constexpr int32_t FIRST_FREE_FRAME = 199;

class BattleScene : public testing::Test {
protected:
    void TearDown() override {
        config.noTimeLimit = 0;
        winCounts[0] = winCounts[1] = 0;
    }
    // Runs frames until `done` holds after one; false when it never does.
    bool RunUntil(const std::function<bool()>& done, int limit = 20000) {
        for (int frame = 0; frame < limit; ++frame) {
            if (!run.RunFrame()) return done();
            if (done()) return true;
        }
        return false;
    }
    test::BattleRun run;
};

TEST_F(BattleScene, TheCountdownHoldsAllInputThenLetsOnlyArrowsAndVThrough) {
    run.Start({});
    run.SetScript([](int, int32_t) { return ALL_BUTTONS; });
    for (int32_t frame = 0; frame <= FIRST_FREE_FRAME; ++frame) {
        ASSERT_TRUE(run.RunFrame());
        const InputWord expected = frame < 99 ? 0 : frame < FIRST_FREE_FRAME ? ALL_BUTTONS & INPUT_COUNTDOWN_MASK
                                                                            : ALL_BUTTONS;
        ASSERT_EQ(inputWords[0], expected) << "frame " << frame;
        ASSERT_EQ(inputWords[1], expected) << "frame " << frame;
        // T, held all along, opens the menu only once it gets through.
        ASSERT_EQ(battlePaused, frame == FIRST_FREE_FRAME ? 1 : 0) << "frame " << frame;
    }
}

TEST_F(BattleScene, TheStartSplitsEqualColoursAndFillsTheReplayHeader) {
    const struct {
        int32_t mode;
        int32_t characters[2], colours[2], expectedColours[2];
        bool drawnSeed;
    } cases[] = {
        {MODE_1P_VS_2P, {1, 1}, {1, 1}, {0, 1}, false},
        {MODE_1P_VS_2P, {1, 1}, {1, 0}, {1, 0}, false},
        {MODE_1P_VS_2P, {1, 2}, {1, 1}, {1, 1}, false},
        {MODE_1P_VS_CPU, {3, 3}, {0, 0}, {0, 1}, true},
        {MODE_ARCADE, {1, 4}, {0, 0}, {0, 0}, true},
        {MODE_PRACTICE, {5, 6}, {1, 0}, {1, 0}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode);
        test::BattleSetup setup;
        setup.mode = c.mode;
        setup.stage = 4;
        setup.difficulty = DIFFICULTY_HARD;
        setup.noTimeLimit = 1;
        for (int side = 0; side < 2; ++side) {
            setup.characters[side] = c.characters[side];
            setup.colours[side] = c.colours[side];
        }
        // Two starts from two generator states: a drawn seed follows the generator.
        int32_t seeds[2];
        for (unsigned before : {1u, 2u}) {
            run.Start(setup);
            SeedRandom(before);
            ASSERT_TRUE(run.RunFrame());
            seeds[before - 1] = replayHeader.randomSeed;
        }
        EXPECT_EQ(players[0].colour, c.expectedColours[0]);
        EXPECT_EQ(players[1].colour, c.expectedColours[1]);
        const ReplayHeader& h = replayHeader;
        EXPECT_EQ(h.p1CharacterId, c.characters[0]);
        EXPECT_EQ(h.p2CharacterId, c.characters[1]);
        EXPECT_EQ(h.p1Colour, c.expectedColours[0]);
        EXPECT_EQ(h.p2Colour, c.expectedColours[1]);
        EXPECT_EQ(h.stageNumber, 4);
        EXPECT_EQ(h.gameMode, c.mode);
        EXPECT_EQ(h.difficulty, DIFFICULTY_HARD);
        EXPECT_EQ(h.reserved[0], 1);
        if (c.drawnSeed) {
            EXPECT_NE(seeds[0], seeds[1]);
            for (int32_t seed : seeds) {
                EXPECT_GE(seed, 0);
                EXPECT_LE(seed, 9999);
            }
        } else {
            EXPECT_EQ(seeds[0], 0);
            EXPECT_EQ(seeds[1], 0);
        }
        EXPECT_EQ(replayInputs[0].size(), 1u);  // the lists start empty: one frame so far
    }
}

TEST_F(BattleScene, TheTimerRunsOutAfter7920FramesAndTheResultFollowsTheTransition) {
    run.Start({});
    ASSERT_TRUE(RunUntil([] { return battleOver != 0; }));
    EXPECT_EQ(battleFrame, 7920);
    EXPECT_EQ(battleTimer, 0);
    EXPECT_EQ(bannerKind, BANNER_TIME_UP);
    int32_t frames = 0;
    while (run.RunFrame()) {
        ASSERT_EQ(transitionRunning, 1) << "the battle ended before its transition";
        ++frames;
    }
    EXPECT_GT(frames, 200);
    EXPECT_EQ(transitionRunning, 0);
    EXPECT_EQ(sceneNumber, SCENE_RESULT);
    EXPECT_EQ(battleEndChoice, BATTLE_END_NORMAL);
    // Untouched fighters tie: side 1 wins, and the bonus is gone by now.
    EXPECT_EQ(winnerSide, 1);
    EXPECT_EQ(winCounts[1], 1);
    EXPECT_EQ(battleResult.life, START_LIFE);
    EXPECT_EQ(battleResult.timeBonus, 0);
    EXPECT_EQ(battleResult.score, START_LIFE);
}

TEST_F(BattleScene, AKnockOutEndsTheFightFiftyFramesLater) {
    const struct {
        bool out[2];
        int32_t winner;
    } cases[] = {{{false, true}, 0}, {{true, false}, 1}, {{true, true}, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "knocked out " << c.out[0] << c.out[1]);
        winCounts[0] = winCounts[1] = 0;
        test::BattleSetup setup;
        setup.characters[1] = 2;  // kirune against a placeholder fighter
        run.Start(setup);
        ASSERT_TRUE(RunUntil([] { return battleFrame == 250; }));
        for (int side = 0; side < 2; ++side)
            if (c.out[side]) players[side].life = 0;
        const int loser = c.out[0] ? 0 : 1;
        ASSERT_TRUE(RunUntil([&] { return players[loser].state == PLAYER_KNOCKED_OUT; }));
        const int32_t knockOutFrame = battleFrame - 1;
        ASSERT_TRUE(RunUntil([] { return battleOver != 0; }));
        EXPECT_EQ(battleFrame - 1 - knockOutFrame, KNOCKOUT_END_FRAMES);
        EXPECT_EQ(players[loser].stateTimer, KNOCKOUT_END_FRAMES);
        EXPECT_EQ(bannerKind, BANNER_KNOCKOUT);
        EXPECT_EQ(bannerTimer, 0);
        run.RunToEnd(1000);
        EXPECT_EQ(sceneNumber, SCENE_RESULT);
        EXPECT_EQ(winnerSide, c.winner);
        EXPECT_EQ(winCounts[c.winner], 1);
        EXPECT_EQ(battleResult.winnerCharacter, setup.characters[c.winner]);
    }
}

// A machine that cannot draw for a while (its device refuses every scene
// around the knock-out) ends the battle on the same frame and with the same result
// as one that draws every frame: the closing transition runs out regardless.
TEST_F(BattleScene, FramesThatCannotBeDrawnDoNotDelayTheEnd) {
    struct Outcome {
        int32_t endFrame, winner, score, grade;
    };
    const auto fight = [&](bool refuseDrawing) {
        winCounts[0] = winCounts[1] = 0;
        test::BattleSetup setup;
        setup.characters[1] = 2;
        run.Start(setup);
        EXPECT_TRUE(RunUntil([] { return battleFrame == 250; }));
        players[1].life = 0;
        for (int frame = 0; frame < 2000 && run.RunFrame(); ++frame) {
            const bool aroundTheEnd = players[1].state == PLAYER_KNOCKED_OUT && battleFrame > 260;
            run.scene().device()->refuseScenes = refuseDrawing && aroundTheEnd;
        }
        run.scene().device()->refuseScenes = false;
        EXPECT_EQ(sceneNumber, SCENE_RESULT);
        return Outcome{battleFrame, winnerSide, battleResult.score, battleResult.grade};
    };
    const Outcome drawn = fight(false);
    const Outcome refused = fight(true);
    EXPECT_GT(drawn.endFrame, 250 + KNOCKOUT_END_FRAMES);
    EXPECT_EQ(refused.endFrame, drawn.endFrame);
    EXPECT_EQ(refused.winner, drawn.winner);
    EXPECT_EQ(refused.score, drawn.score);
    EXPECT_EQ(refused.grade, drawn.grade);
}

// What the drawing saw, and what the frame left.
struct Seen {
    int32_t battleFrame;
    float x[2];
    int32_t areas;
};
std::vector<Seen> seenByDrawing;

Seen Look() {
    return {battleFrame, {players[0].x, players[1].x}, attackAreaList.Size()};
}

void SpyDrawing() {
    seenByDrawing.push_back(Look());
    test::DrawBattleOverlays();
}

TEST_F(BattleScene, DrawingSeesTheStateBeforeTheFrameAndAreasHitInTheirOwnFrame) {
    // Side 0 walks up to side 1 and slashes; side 1 stands.
    run.Start({});
    run.SetScript([](int side, int32_t frame) -> InputWord {
        if (side == 1 || frame < FIRST_FREE_FRAME) return 0;
        if (players[1].x - players[0].x > 60.0f) return INPUT_RIGHT;
        return frame % 16 < 2 ? INPUT_Z | INPUT_A : 0;
    });
    seenByDrawing.clear();
    SetBattleDrawing(SpyDrawing);
    attackAreaList.Append(AttackArea{});  // left over from an earlier battle
    std::vector<Seen> left;
    int32_t hitFrame = -1;
    for (int frame = 0; frame < 600 && hitFrame < 0; ++frame) {
        const int32_t lifeBefore = players[1].life;
        ASSERT_TRUE(run.RunFrame());
        left.push_back(Look());
        if (players[1].life < lifeBefore) hitFrame = frame;
    }
    ASSERT_GE(hitFrame, 0) << "the slash never hit";
    ASSERT_EQ(seenByDrawing.size(), left.size());
    EXPECT_EQ(seenByDrawing[0].areas, 0) << "the start empties the attack areas";
    for (size_t f = 1; f < left.size(); ++f) {
        EXPECT_EQ(seenByDrawing[f].battleFrame, static_cast<int32_t>(f));
        EXPECT_EQ(seenByDrawing[f].x[0], left[f - 1].x[0]) << "frame " << f;
        EXPECT_EQ(seenByDrawing[f].x[1], left[f - 1].x[1]) << "frame " << f;
        EXPECT_EQ(seenByDrawing[f].areas, left[f - 1].areas) << "frame " << f;
    }
    // Areas live from their spawn to the next frame's clearing, so those
    // left by the hitting frame were made in it.
    EXPECT_GT(left[static_cast<size_t>(hitFrame)].areas, 0);
}

TEST_F(BattleScene, ThePauseStopsTheFightAndGivesBackTheButtonsOfItsMoment) {
    run.Start({});
    // Z and left held from frame 210, T at 220; in the menu left is let go
    // and X cancels once the menu takes choices.
    run.SetScript([](int side, int32_t frame) -> InputWord {
        if (side == 1 || frame < 210) return 0;
        if (battlePaused) return battleMenuState == BATTLE_MENU_CHOOSING ? INPUT_Z | INPUT_X : INPUT_Z;
        return INPUT_Z | (frame <= 220 ? INPUT_LEFT : 0) | (frame == 220 ? INPUT_T : 0);
    });
    ASSERT_TRUE(RunUntil([] { return battlePaused == 1; }));
    EXPECT_EQ(battleFrame, 221);
    const float x = players[0].x;
    const int32_t timer = battleTimer;
    int pausedFrames = 0;
    ASSERT_TRUE(RunUntil([&] {
        ++pausedFrames;
        EXPECT_EQ(battleFrame, 221);
        EXPECT_EQ(players[0].x, x);
        EXPECT_EQ(battleTimer, timer);
        return battlePaused == 0;
    }));
    EXPECT_GE(pausedFrames, 40);  // 20 frames in, one choosing, 20 out
    // Nothing that draws random numbers runs while paused.
    const std::vector<int32_t>& draws = run.randomDraws();
    EXPECT_EQ(std::count(draws.end() - pausedFrames, draws.end(), 0), pausedFrames);
    EXPECT_EQ(battleOver, 0);
    ASSERT_TRUE(run.RunFrame());
    EXPECT_EQ(battleFrame, 222);
    EXPECT_EQ(buttonStates[0][BUTTON_Z], BUTTON_STATE_HELD);
    EXPECT_EQ(buttonStates[0][BUTTON_LEFT], BUTTON_STATE_RELEASED);
    EXPECT_EQ(battlePaused, 0);
}

TEST_F(BattleScene, TheMenusChoicesLeaveTheBattle) {
    const struct {
        InputWord move;  // before the choice
        int32_t choice, scene;
    } cases[] = {
        {0, BATTLE_END_SELECT, SCENE_SELECT},
        {INPUT_DOWN, BATTLE_END_RETRY, SCENE_BATTLE},
        {INPUT_UP, BATTLE_END_TITLE, SCENE_TITLE},
    };
    for (const auto& c : cases) {
        run.Start({});
        int32_t menuFrames = 0;
        run.SetScript([&](int side, int32_t frame) -> InputWord {
            if (side == 1) return 0;
            if (!battlePaused) return frame == 205 ? INPUT_T : 0;
            if (battleMenuState != BATTLE_MENU_CHOOSING) return 0;
            ++menuFrames;
            if (menuFrames == 1) return c.move;
            return menuFrames == 3 ? INPUT_Z : 0;
        });
        run.RunToEnd(1000);
        ASSERT_TRUE(run.ended());
        EXPECT_EQ(battleEndChoice, c.choice);
        EXPECT_EQ(sceneNumber, c.scene);
        EXPECT_EQ(sceneInitPending, 1);
    }
}

TEST_F(BattleScene, DuringPlaybackOnlyTheLivePadOpensTheMenuAndSelectLeadsToTheTitle) {
    // A recording whose side 0 presses T at frame 250.
    StartReplayRecording({1, 1, 0, 1, 1, MODE_1P_VS_2P, DIFFICULTY_NORMAL, 0, 0});
    for (int32_t frame = 0; frame < 400; ++frame) {
        RecordReplayInput(0, frame == 250 ? INPUT_T : 0);
        RecordReplayInput(1, 0);
    }
    ASSERT_TRUE(MakeReplayFileName(replayFileName));
    ASSERT_TRUE(WriteReplayFile({}));
    ASSERT_TRUE(run.StartPlayback(replayFileName));
    run.SetScript([](int side, int32_t frame) -> InputWord {
        if (side == 1) return 0;
        if (!battlePaused) return frame == 300 ? INPUT_T : 0;
        return battleMenuState == BATTLE_MENU_CHOOSING ? INPUT_Z : 0;
    });
    ASSERT_TRUE(RunUntil([] { return battleFrame == 252; }));
    EXPECT_EQ(buttonStates[0][BUTTON_T], BUTTON_STATE_RELEASED);  // the recorded T went by
    EXPECT_EQ(battlePaused, 0);
    ASSERT_TRUE(RunUntil([] { return battlePaused == 1; }));
    EXPECT_EQ(battleFrame, 301);
    run.RunToEnd(1000);
    EXPECT_EQ(battleEndChoice, BATTLE_END_SELECT);
    EXPECT_EQ(sceneNumber, SCENE_TITLE);
    replayPlayback = 0;
}

// EndBattle's choice of the next scene, live and during a playback, from a
// battle of the given mode.
TEST_F(BattleScene, TheNextSceneFollowsTheChoiceAndThePlayback) {
    const struct {
        int32_t choice;
        bool playback;
        int32_t mode;
        int32_t scene;
        int32_t wins;  // winCounts[1] after
    } cases[] = {
        {BATTLE_END_NORMAL, false, MODE_1P_VS_2P, SCENE_RESULT, 1},
        {BATTLE_END_NORMAL, true, MODE_1P_VS_2P, SCENE_RESULT, 0},
        {BATTLE_END_RETRY, false, MODE_1P_VS_2P, SCENE_BATTLE, 0},
        {BATTLE_END_RETRY, true, MODE_1P_VS_2P, SCENE_BATTLE, 0},
        {BATTLE_END_SELECT, false, MODE_1P_VS_2P, SCENE_SELECT, 0},
        {BATTLE_END_SELECT, true, MODE_1P_VS_2P, SCENE_TITLE, 0},
        {BATTLE_END_TITLE, false, MODE_1P_VS_2P, SCENE_TITLE, 0},
        {BATTLE_END_TITLE, true, MODE_1P_VS_2P, SCENE_TITLE, 0},
        {7, false, MODE_1P_VS_2P, SCENE_RESULT, 0},
        {7, true, MODE_1P_VS_2P, SCENE_RESULT, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "choice " << c.choice << " playback " << c.playback);
        winCounts[0] = winCounts[1] = 0;
        gameMode = c.mode;
        replayPlayback = c.playback;
        battleEndChoice = c.choice;
        titleStartState = -1;
        titleCursor = 2;
        replayListReturn = 1;
        sceneInitPending = 0;
        for (PlayerRecord& p : players) p.life = 100;  // a tie: side 1 wins
        EndBattle();
        EXPECT_EQ(sceneNumber, c.scene);
        EXPECT_EQ(sceneInitPending, 1);
        EXPECT_EQ(winnerSide, 1);
        EXPECT_EQ(winCounts[1], c.wins);
        const bool toTitleMenu = c.choice == BATTLE_END_TITLE;
        EXPECT_EQ(titleStartState, toTitleMenu ? 4 : -1);
        EXPECT_EQ(titleCursor, toTitleMenu ? 0 : 2);
        EXPECT_EQ(replayListReturn, toTitleMenu ? 0 : 1);
    }
    replayPlayback = 0;
}

TEST_F(BattleScene, ArcadeBooksKeepGradesScoresUnlocksAndRestartOnRetry) {
    const struct {
        int32_t stage;
        bool won, hadContinue;
        int32_t choice;
        int32_t stageUnlocked, characterUnlocked;  // which entries are set after, -1 none
    } cases[] = {
        {0, true, false, BATTLE_END_NORMAL, 0, 8},
        {0, true, true, BATTLE_END_NORMAL, 0, -1},
        {7, true, false, BATTLE_END_SELECT, 7, 7},  // menu ends keep the books too
        {7, true, true, BATTLE_END_NORMAL, 7, -1},
        {8, true, false, BATTLE_END_NORMAL, 8, -1},
        {3, true, false, BATTLE_END_NORMAL, -1, -1},
        {0, false, false, BATTLE_END_NORMAL, -1, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "stage " << c.stage << " won " << c.won << " continue " << c.hadContinue);
        systemData = SystemData{};
        gameMode = MODE_ARCADE;
        replayPlayback = 0;
        stageNumber = c.stage;
        battleEndChoice = c.choice;
        stageGrades = c.hadContinue ? std::vector<int32_t>{GRADE_A, GRADE_CONTINUE} : std::vector<int32_t>{GRADE_A};
        arcadeScore = 5000;
        battleFrame = 201;
        players[0].life = c.won ? 3000 : 10;
        players[1].life = c.won ? 10 : 3000;
        players[0].bestComboDamage = players[1].bestComboDamage = 0;
        EndBattle();
        EXPECT_EQ(stageGrades.size(), c.hadContinue ? 3u : 2u);
        if (c.won) {
            EXPECT_EQ(stageGrades.back(), battleResult.grade);
            EXPECT_EQ(battleResult.previousScore, 5000);
            EXPECT_EQ(battleResult.score, 5000 + 10000 + 3000);
            EXPECT_EQ(arcadeScore, battleResult.score);
        } else {
            EXPECT_EQ(stageGrades.back(), GRADE_CONTINUE);
            EXPECT_EQ(arcadeScore, 5000);
        }
        for (int32_t i = 0; i < 20; ++i) {
            EXPECT_EQ(systemData.stageUnlocked[i], i == c.stageUnlocked ? 1 : 0) << "stage " << i;
            EXPECT_EQ(systemData.characterUnlocked[i], i == c.characterUnlocked ? 1 : 0) << "character " << i;
        }
    }
    // A retry starts the run again from its first rung.
    stageGrades = {GRADE_A, GRADE_B};
    arcadeStage = 3;
    arcadeScore = 9000;
    battleEndChoice = BATTLE_END_RETRY;
    EndBattle();
    EXPECT_TRUE(stageGrades.empty());
    EXPECT_EQ(arcadeScore, 0);
    EXPECT_EQ(sceneNumber, SCENE_BATTLE);
    systemData = SystemData{};
}

}  // namespace
