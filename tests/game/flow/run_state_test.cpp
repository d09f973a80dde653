// The run state's reset to its start values.
#include <gtest/gtest.h>

#include "game/flow/run_state.h"

namespace {

// The run state is constant-initialised, so these read its values at program
// start whatever the order of the dynamic initialisers.
const int32_t startScene = sceneNumber;
const uint8_t startInitPending = sceneInitPending;
const int32_t startMode = gameMode;
const int32_t startDifficulty = difficulty;
Camera* const startCamera = gameCamera;
const int32_t startTitleState = titleStartState;
const int32_t startTitleCursor = titleCursor;
const int32_t startReplayListReturn = replayListReturn;

TEST(RunState, ResetPutsBackEveryValueOfProgramStartAfterARunChangedThem) {
    ChangeScene(SCENE_RESULT);
    gameMode = MODE_ARCADE;
    difficulty = DIFFICULTY_HARD;
    int notACamera = 0;
    gameCamera = reinterpret_cast<Camera*>(&notACamera);  // any non-null pointer; never dereferenced
    titleStartState = TITLE_START_RANKING;
    titleCursor = 3;
    replayListReturn = 1;

    ResetRunState();

    EXPECT_EQ(sceneNumber, startScene);
    EXPECT_EQ(sceneInitPending, startInitPending);
    EXPECT_EQ(gameMode, startMode);
    EXPECT_EQ(difficulty, startDifficulty);
    EXPECT_EQ(gameCamera, startCamera);
    EXPECT_EQ(titleStartState, startTitleState);
    EXPECT_EQ(titleCursor, startTitleCursor);
    EXPECT_EQ(replayListReturn, startReplayListReturn);
}

}  // namespace
