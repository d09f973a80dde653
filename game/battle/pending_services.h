#pragma once
// Temporary declarations of the game-wide services that the battle reads and
// that are built elsewhere (the scene loop). Each goes when its real
// definition lands.
#include <cstdint>

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
