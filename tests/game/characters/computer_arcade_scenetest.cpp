// The computer as a real opponent: at HARD it knocks out a kirune that never
// moves before the time is up, and a whole arcade run started from the
// title's arcade menu is fought through to its end by the computer on both
// sides.
#include <gtest/gtest.h>

#include "engine/core/math.h"
#include "game/arena/battle_state.h"
#include "game/arena/player_record.h"
#include "game/battle/battle_scene.h"
#include "game/flow/run_state.h"
#include "game/screens/title_menu.h"
#include "platform/keyboard.h"
#include "tests/support/battle_run.h"
#include "tests/support/computer_opponent.h"

namespace {

TEST(ComputerOpponent, KnocksOutAnIdleKiruneWithinTheTimeLimit) {
    test::BattleRun run;
    run.UseRealDrawing(false);
    test::BattleSetup setup;
    setup.characters[0] = setup.characters[1] = 1;
    setup.stage = 1;
    setup.mode = MODE_1P_VS_CPU;
    setup.difficulty = DIFFICULTY_HARD;
    SeedRandom(2005);
    run.Start(setup);  // nobody at side 0's controls
    run.RunToEnd(99 * FRAMES_PER_TIMER_UNIT + 1000);
    ASSERT_EQ(sceneNumber, SCENE_RESULT);
    EXPECT_EQ(winnerSide, 1);
    EXPECT_EQ(players[0].state, PLAYER_KNOCKED_OUT);
    EXPECT_EQ(players[0].life, 0);
    EXPECT_GT(battleTimer, 0);
    EXPECT_GT(players[1].life, 0);
}

// Keys of side 0 that press a word (the keyboard is side 0's as well).
void HoldWord(test::SceneHarness& scene, InputWord word) {
    static constexpr struct {
        InputWord bit;
        int key;
    } keys[] = {
        {INPUT_UP, platform::VK_UP}, {INPUT_DOWN, platform::VK_DOWN}, {INPUT_LEFT, platform::VK_LEFT},
        {INPUT_RIGHT, platform::VK_RIGHT}, {INPUT_Z, 'Z'}, {INPUT_X, 'X'}, {INPUT_V, 'V'}, {INPUT_C, 'C'},
        {INPUT_A, 'A'}, {INPUT_S, 'S'},
    };
    for (const auto& k : keys) {
        if (word & k.bit) scene.Hold(k.key);
        else scene.Release(k.key);
    }
}

TEST(ComputerOpponent, AnArcadeRunFromTheMenuIsFoughtToItsEnd) {
    test::BattleRun run;  // the harness with side 1's controls left alone
    run.UseRealDrawing(false);  // the battles' picture carries no state here
    test::SceneHarness& scene = run.scene();
    SeedRandom(1);  // the battles' seeds are drawn from it, not from the clock
    auto tapUntil = [&](int key, auto done) {
        for (int frames = 0; frames < 3000 && !done(); frames += 2) {
            scene.Tap(key);
            if (!done()) scene.RunFrames(1);
        }
        return done();
    };
    ASSERT_TRUE(tapUntil('Z', [] { return sceneNumber == SCENE_TITLE; }));
    ASSERT_TRUE(tapUntil('Z', [] { return titleState == TITLE_MAIN; }));
    ASSERT_EQ(titleCursor, MAIN_ITEM_ARCADE);
    ASSERT_TRUE(tapUntil('Z', [] { return titleState == TITLE_ARCADE_DIFFICULTY; }));
    ASSERT_TRUE(tapUntil(platform::VK_DOWN, [] { return titleCursor == DIFFICULTY_HARD; }));
    ASSERT_TRUE(tapUntil('Z', [] { return sceneNumber == SCENE_SELECT; }));
    ASSERT_EQ(gameMode, MODE_ARCADE);
    ASSERT_EQ(difficulty, DIFFICULTY_HARD);

    // Each battle's side 0 is the computer on a generator of its own; outside
    // the battles Z goes on, and X lets a lost run end instead of continuing.
    int32_t battles = 0, knockOuts = 0;
    test::ComputerAtSideZero side0(11);
    bool inBattle = false;
    for (int frames = 0; frames < 400000 && !(battles > 0 && sceneNumber == SCENE_TITLE); ++frames) {
        if (sceneNumber == SCENE_BATTLE) {
            if (!inBattle) {
                ++battles;
                EXPECT_EQ(gameMode, MODE_ARCADE);
                EXPECT_GE(players[1].characterId, 1) << "battle " << battles;
                EXPECT_LE(players[1].characterId, 8) << "battle " << battles;
            }
            inBattle = true;
            HoldWord(scene, side0.Word(0));
            scene.RunFrames(1);
            continue;
        }
        if (inBattle) {
            inBattle = false;
            HoldWord(scene, 0);
            ASSERT_EQ(sceneNumber, SCENE_RESULT) << "battle " << battles;
            knockOuts += players[0].state == PLAYER_KNOCKED_OUT || players[1].state == PLAYER_KNOCKED_OUT;
            EXPECT_TRUE(players[1 - winnerSide].state == PLAYER_KNOCKED_OUT || battleTimer == 0);
        }
        const bool lost = sceneNumber == SCENE_RESULT && winnerSide == 1;
        scene.Tap(lost ? 'X' : 'Z');
        scene.RunFrames(1);
    }
    EXPECT_EQ(sceneNumber, SCENE_TITLE);
    EXPECT_GE(battles, 1);
    EXPECT_GE(knockOuts, 1);  // kirune, side 0's first choice, fights for real
}

}  // namespace
