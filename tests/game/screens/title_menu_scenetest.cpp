// The title menu run as a scene: where it opens, how its menus move and
// decide, the name entry, and where each way out leads.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/core/application.h"
#include "engine/devices/network.h"
#include "game/battle/battle_scene.h"
#include "game/flow/input_words.h"
#include "game/flow/replay_file.h"
#include "game/flow/save_files.h"
#include "game/flow/transitions.h"
#include "game/screens/replay_list.h"
#include "platform/keyboard.h"
#include "tests/game/screens/title_fixture.h"

namespace {

using platform::VK_DOWN;
using platform::VK_LEFT;
using platform::VK_RIGHT;
using platform::VK_UP;
using Effects = std::set<int32_t>;

// The drawing mode of a revealing wipe, as opposed to the intro's fade.
constexpr int32_t kWipeMode = 10;

struct TitleMenuTest : test::TitleSceneTest {};

TEST_F(TitleMenuTest, OpensInTheMenuItsStartStateNames) {
    struct Case {
        int32_t startState, rankingPlace;
        int32_t state, cursor, tab, nextStartState, transitionMode;
    };
    // difficulty is HARD and extraItem the animation throughout.
    const Case cases[] = {
        {-1, 11, TITLE_INTRO, 0, 0, -1, TRANSITION_FADE_IN},
        {0, 11, TITLE_VERSUS, 3, 0, 0, kWipeMode},  // practice is the fourth item
        {1, 11, TITLE_VERSUS, 0, 0, 1, kWipeMode},
        {2, 11, TITLE_VERSUS, 1, 0, 2, kWipeMode},
        {3, 11, TITLE_VERSUS, 2, 0, 3, kWipeMode},
        {4, 11, TITLE_MAIN, 0, 0, 4, kWipeMode},
        {5, 11, TITLE_RANKING, 0, 2, 4, kWipeMode},
        {5, 10, TITLE_RANKING, 0, 2, 4, kWipeMode},
        {5, 3, TITLE_NAME_ENTRY, 0, 2, 4, kWipeMode},
        {6, 11, TITLE_EXTRA, 7, 0, 6, kWipeMode},
        {7, 11, TITLE_INTRO, 0, 0, 7, TRANSITION_FADE_IN},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "start state " << c.startState << ", place " << c.rankingPlace);
        difficulty = DIFFICULTY_HARD;
        extraItem = EXTRA_ITEM_ANIMATION;
        rankingPlace = c.rankingPlace;
        winCounts[0] = 3;
        winCounts[1] = 4;
        titleAction = TITLE_ACTION_QUIT;
        EnterTitle(c.startState);
        EXPECT_EQ(titleState, c.state);
        EXPECT_EQ(titleCursor, c.cursor);
        EXPECT_EQ(rankingTab, c.tab);
        EXPECT_EQ(titleStartState, c.nextStartState);
        EXPECT_EQ(transitionKind, c.transitionMode);
        EXPECT_EQ(titleAction, TITLE_ACTION_NONE);
        EXPECT_EQ(winCounts[0], 0);
        EXPECT_EQ(winCounts[1], 0);
        EXPECT_EQ(sceneInitPending, 0);
        if (c.state == TITLE_INTRO) {
            // The slow fade-in, and the letterbox timer one step down.
            EXPECT_FLOAT_EQ(transitionSpeed, 0.0025f);
            EXPECT_FLOAT_EQ(introTimer, 2.0f - 0.025f);
        } else {
            EXPECT_FLOAT_EQ(introTimer, 0.0f);
        }
    }
}

TEST_F(TitleMenuTest, StartUpReachesTheIntroAfterTheLogos) {
    ASSERT_GT(harness.RunUntilScene(SCENE_TITLE, 1000), 0);
    harness.RunFrames(1);
    EXPECT_EQ(titleState, TITLE_INTRO);
    EXPECT_NE(menuFontTexture, nullptr);
    harness.Tap('X');
    EXPECT_EQ(titleState, TITLE_MAIN);
}

TEST_F(TitleMenuTest, TheIntroEndsWithItsFadeOrAtOnceOnZ) {
    EnterTitle(-1);
    harness.RunFrames(300);
    EXPECT_EQ(titleState, TITLE_INTRO);
    harness.RunFrames(150);
    EXPECT_EQ(titleState, TITLE_MAIN);

    EnterTitle(-1);
    harness.Tap('Z');
    EXPECT_EQ(titleState, TITLE_MAIN);
    EXPECT_EQ(transitionRunning, 0);
    EXPECT_FLOAT_EQ(introTimer, 0.0f);
}

TEST_F(TitleMenuTest, MainMenuWrapsOverFiveItemsOrSixWithTheExtra) {
    for (uint8_t extra : {0, 1}) {
        SCOPED_TRACE(testing::Message() << "extraUnlocked " << int(extra));
        const int32_t lastItem = extra ? MAIN_ITEM_EXTRA : MAIN_ITEM_QUIT;
        systemData.extraUnlocked = extra;
        EnterMainMenu();
        EXPECT_EQ(Press(VK_UP), Effects{SE_CURSOR});
        EXPECT_EQ(titleCursor, lastItem);
        Press(VK_DOWN);
        EXPECT_EQ(titleCursor, 0);
        for (int k = 0; k < lastItem; ++k) Press(VK_DOWN);
        EXPECT_EQ(titleCursor, lastItem);
        Press(VK_DOWN);
        EXPECT_EQ(titleCursor, 0);
        // Up and down in one frame: back where it was.
        harness.Hold(VK_UP);
        harness.Hold(VK_DOWN);
        harness.RunFrames(1);
        harness.Release(VK_UP);
        harness.Release(VK_DOWN);
        EXPECT_EQ(titleCursor, 0);
    }
}

TEST_F(TitleMenuTest, EachMenuOpensFromItsItemAndCancelsBackToIt) {
    struct Case {
        int32_t item, state, cursor;  // cursor -1: not checked
    };
    const Case cases[] = {
        {MAIN_ITEM_ARCADE, TITLE_ARCADE_DIFFICULTY, DIFFICULTY_HARD},  // on the last difficulty
        {MAIN_ITEM_VERSUS, TITLE_VERSUS, 0},
        {MAIN_ITEM_REPLAYS, TITLE_NO_REPLAYS, -1},
        {MAIN_ITEM_RANKING, TITLE_RANKING, -1},
        {MAIN_ITEM_EXTRA, TITLE_EXTRA, 0},
    };
    systemData.extraUnlocked = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "item " << c.item);
        difficulty = DIFFICULTY_HARD;
        rankingPlace = 4;
        EnterMainMenu();
        for (int k = 0; k < c.item; ++k) Press(VK_DOWN);
        EXPECT_EQ(Press('Z'), Effects{SE_DECIDE});
        EXPECT_EQ(titleState, c.state);
        if (c.cursor >= 0) {
            EXPECT_EQ(titleCursor, c.cursor);
        }
        if (c.state == TITLE_RANKING) {
            EXPECT_EQ(rankingPlace, RANKING_NOT_ENTERED);  // never a name entry from here
            EXPECT_EQ(rankingTab, 0);
            EXPECT_EQ(titleAction, TITLE_ACTION_RANKING);
            Press('Z');  // does nothing in the ranking
            EXPECT_EQ(titleState, TITLE_RANKING);
        }
        EXPECT_EQ(Press('X'), Effects{SE_CANCEL});
        EXPECT_EQ(titleState, TITLE_MAIN);
        EXPECT_EQ(titleCursor, c.item);
    }
}

TEST_F(TitleMenuTest, NoReplaysReturnsOnZAsOnX) {
    EnterMainMenu();
    Press(VK_DOWN);
    Press(VK_DOWN);
    Press('Z');
    ASSERT_EQ(titleState, TITLE_NO_REPLAYS);
    EXPECT_EQ(Press('Z'), Effects{SE_CANCEL});
    EXPECT_EQ(titleState, TITLE_MAIN);
    EXPECT_EQ(titleCursor, MAIN_ITEM_REPLAYS);
}

TEST_F(TitleMenuTest, RankingTabsWrapAndRestartTheRows) {
    EnterMainMenu();
    for (int k = 0; k < MAIN_ITEM_RANKING; ++k) Press(VK_DOWN);
    Press('Z');
    harness.RunFrames(60);
    EXPECT_FLOAT_EQ(rankingRowAlpha[9], 1.0f);
    EXPECT_EQ(Press(VK_LEFT), Effects{SE_CURSOR});
    EXPECT_EQ(rankingTab, DIFFICULTY_HARD);
    // Row k shows 4k frames after row 0: the rows start again from 0, -0.2,
    // ..., two frames ago.
    EXPECT_FLOAT_EQ(rankingRowAlpha[0], 0.1f);
    EXPECT_FLOAT_EQ(rankingRowAlpha[1], -0.1f);
    Press(VK_RIGHT);
    EXPECT_EQ(rankingTab, DIFFICULTY_EASY);
}

TEST_F(TitleMenuTest, VersusAndArcadeDecisionsLeaveForTheSelectScreen) {
    struct Case {
        int32_t item, downs;  // main item, then moves in its menu
        int32_t mode, difficulty, nextStartState;
    };
    const Case cases[] = {
        {MAIN_ITEM_VERSUS, 0, MODE_1P_VS_2P, DIFFICULTY_NORMAL, MODE_1P_VS_2P},
        {MAIN_ITEM_VERSUS, 1, MODE_1P_VS_CPU, DIFFICULTY_NORMAL, MODE_1P_VS_CPU},
        {MAIN_ITEM_VERSUS, 2, MODE_VS_NETWORK, DIFFICULTY_NORMAL, MODE_VS_NETWORK},
        {MAIN_ITEM_VERSUS, 3, MODE_PRACTICE, DIFFICULTY_NORMAL, MODE_PRACTICE},
        {MAIN_ITEM_VERSUS, 4, MODE_1P_VS_2P, DIFFICULTY_NORMAL, MODE_1P_VS_2P},  // wraps
        {MAIN_ITEM_ARCADE, 0, MODE_ARCADE, DIFFICULTY_EASY, TITLE_START_MAIN},
        {MAIN_ITEM_ARCADE, 2, MODE_ARCADE, DIFFICULTY_HARD, TITLE_START_MAIN},
        {MAIN_ITEM_ARCADE, 3, MODE_ARCADE, DIFFICULTY_EASY, TITLE_START_MAIN},  // wraps
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "item " << c.item << ", downs " << c.downs);
        difficulty = DIFFICULTY_EASY;
        EnterMainMenu();
        replayListReturn = 1;  // a playback's return is forgotten by a new match
        for (int k = 0; k < c.item; ++k) Press(VK_DOWN);
        Press('Z');
        for (int k = 0; k < c.downs; ++k) Press(VK_DOWN);
        EXPECT_EQ(Press('Z'), Effects{SE_DECIDE});
        EXPECT_EQ(titleState, TITLE_LEAVING);
        EXPECT_EQ(sceneInitPending, 0);
        RunUntilLeft();
        EXPECT_EQ(sceneNumber, SCENE_SELECT);
        EXPECT_EQ(sceneInitPending, 1);
        EXPECT_EQ(gameMode, c.mode);
        EXPECT_EQ(difficulty, c.difficulty);
        EXPECT_EQ(titleStartState, c.nextStartState);
        EXPECT_EQ(replayListReturn, 0);
        EXPECT_EQ(menuFontTexture, nullptr);  // released on the way out
    }
}

TEST_F(TitleMenuTest, ExtraEntriesNeedTheirCharacterClearedAndSkipRowSix) {
    systemData.extraUnlocked = 1;
    std::memset(systemData.cleared, 0, sizeof systemData.cleared);
    systemData.cleared[DIFFICULTY_HARD][3] = 1;
    systemData.cleared[DIFFICULTY_EASY][8] = 1;

    extraItem = 1;
    EnterTitle(TITLE_START_EXTRA);
    ASSERT_EQ(titleState, TITLE_EXTRA);
    // Up from the first row reaches row 7 (entry 8); row 6 is passed both ways.
    Press(VK_UP);
    EXPECT_EQ(titleCursor, 7);
    Press(VK_UP);
    EXPECT_EQ(titleCursor, 5);
    Press(VK_DOWN);
    EXPECT_EQ(titleCursor, 7);
    Press(VK_DOWN);
    EXPECT_EQ(titleCursor, 0);
    // Entry 1 is not cleared: refused, nothing else.
    EXPECT_EQ(Press('Z'), Effects{SE_ERROR});
    EXPECT_EQ(titleState, TITLE_EXTRA);
    // Entry 3, cleared on HARD: its story page.
    Press(VK_DOWN);
    Press(VK_DOWN);
    EXPECT_EQ(Press('Z'), Effects{SE_DECIDE});
    EXPECT_EQ(gameMode, MODE_EXTRA);
    RunUntilLeft();
    EXPECT_EQ(sceneNumber, SCENE_STORY);
    EXPECT_EQ(extraItem, 3);
    EXPECT_EQ(titleStartState, TITLE_START_EXTRA);

    // Entry 8, the animation, comes back to the title.
    EnterTitle(TITLE_START_EXTRA);
    EXPECT_EQ(titleCursor, 2);
    for (int k = 0; k < 3; ++k) Press(VK_UP);
    ASSERT_EQ(titleCursor, 7);
    Press('Z');
    RunUntilLeft();
    EXPECT_EQ(sceneNumber, SCENE_ANIMATION);
    EXPECT_EQ(animationNextScene, SCENE_TITLE);
}

TEST_F(TitleMenuTest, QuitStopsSoundAndNetworkAndEndsTheProgram) {
    EnterMainMenu();
    for (int k = 0; k < MAIN_ITEM_QUIT; ++k) Press(VK_DOWN);
    netConnected = 1;
    Press('Z');
    EXPECT_EQ(exitRequested, 0);
    RunUntilLeft();
    EXPECT_EQ(exitRequested, 1);
    EXPECT_EQ(netConnected, 0);
    EXPECT_TRUE(seTable.empty());
    EXPECT_EQ(sceneNumber, SCENE_TITLE);
}

TEST_F(TitleMenuTest, NameEntryEditsTheNewEntryAndSavesIt) {
    difficulty = DIFFICULTY_NORMAL;
    rankingPlace = 2;
    EnterTitle(TITLE_START_RANKING);
    ASSERT_EQ(titleState, TITLE_NAME_ENTRY);
    int32_t* letters = rankingTables[DIFFICULTY_NORMAL].entries[2].letters;
    for (int i = 0; i < RANKING_LETTERS; ++i) letters[i] = 0;

    // X on the first letter does nothing, silently.
    EXPECT_EQ(Press('X'), Effects{});
    EXPECT_EQ(titleCursor, 0);
    // Up and down wrap over the 42 symbols.
    EXPECT_EQ(Press(VK_UP), Effects{SE_CURSOR});
    EXPECT_EQ(letters[0], RANKING_ALPHABET - 1);
    Press(VK_DOWN);
    Press(VK_DOWN);
    EXPECT_EQ(letters[0], 1);
    EXPECT_EQ(Press('Z'), Effects{SE_DECIDE});
    EXPECT_EQ(titleCursor, 1);
    Press(VK_DOWN);
    Press(VK_DOWN);
    EXPECT_EQ(letters[1], 2);
    // X on a later letter clears it and steps back.
    EXPECT_EQ(Press('X'), Effects{SE_CANCEL});
    EXPECT_EQ(letters[1], 0);
    EXPECT_EQ(titleCursor, 0);
    for (int i = 0; i < RANKING_LETTERS; ++i) {
        Press(VK_UP);  // letter 0 is 0 after its first turn, the rest 41
        EXPECT_EQ(Press('Z'), Effects{SE_DECIDE});
    }
    EXPECT_EQ(titleState, TITLE_RANKING);
    EXPECT_FLOAT_EQ(rankingRowAlpha[9], -1.8f + 0.1f);

    const int32_t typed[RANKING_LETTERS] = {0, 41, 41, 41, 41};
    rankingTables[DIFFICULTY_NORMAL].entries[2].letters[0] = 7;
    LoadRanking();  // what was saved
    for (int i = 0; i < RANKING_LETTERS; ++i) EXPECT_EQ(letters[i], typed[i]) << "letter " << i;
    // Back in the ranking, Z and X in one frame only return to the main menu.
    harness.Hold('Z');
    harness.Hold('X');
    harness.RunFrames(1);
    EXPECT_EQ(titleState, TITLE_MAIN);
    EXPECT_EQ(titleCursor, MAIN_ITEM_RANKING);
}

TEST_F(TitleMenuTest, ZWithXOnTheLastLetterSavesWithoutSteppingPastTheName) {
    difficulty = DIFFICULTY_EASY;
    rankingPlace = 0;
    EnterTitle(TITLE_START_RANKING);
    for (int i = 0; i < RANKING_LETTERS - 1; ++i) Press('Z');
    harness.Hold('Z');
    harness.Hold('X');
    harness.RunFrames(1);
    EXPECT_EQ(titleState, TITLE_RANKING);
    EXPECT_EQ(titleCursor, RANKING_LETTERS);
    // The X of that frame wrote nothing past the five letters (into the
    // next entry's character).
    EXPECT_EQ(rankingTables[DIFFICULTY_EASY].entries[1].characterId, 1);
}

}  // namespace
