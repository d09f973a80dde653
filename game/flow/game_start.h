#pragma once
#include <cstdint>

// The game's side of start-up: the engine calls ConfigureApplication before
// its window exists and RunGame, the main loop, once its layers are up.
void ConfigureApplication();
void RunGame();

enum GameMode : int32_t {
    MODE_PRACTICE,
    MODE_1P_VS_2P,
    MODE_1P_VS_CPU,
    MODE_VS_NETWORK,
    MODE_ARCADE,
};

enum Difficulty : int32_t {
    DIFFICULTY_EASY,
    DIFFICULTY_NORMAL,
    DIFFICULTY_HARD,
};

extern int32_t gameMode;
extern int32_t difficulty;
