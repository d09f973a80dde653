#pragma once
#include <cstdint>
#include <vector>

class Sound;

// Sound effects: index into seTable and the key in "se.dat".
enum SeId : int32_t {
    SE_SHOOT00, SE_AIR, SE_HIGH, SE_HIGH_A, SE_GRAZE, SE_BOMB, SE_BURST, SE_CRASH, SE_RAY,
    SE_DAMAGE, SE_FLASH, SE_SWING, SE_SWING_H, SE_SWING_D, SE_WHIP, SE_GUN, SE_REFLECT,
    SE_LASER, SE_CHARGE, SE_ECO, SE_BURN, SE_FIRE, SE_CHAIN, SE_HIT, SE_HIT_S, SE_HIT_S2,
    SE_HIT_F, SE_DON, SE_SHIELD, SE_CURSOR, SE_DECIDE, SE_CANCEL, SE_ERROR, SE_VS, SE_WIN,
    SE_DEAD,
    SE_COUNT
};

// Music pieces: the argument of PlayBgm. 0 is the piece after a battle; 1 to
// 10 are the stage pieces (see PlayStageBgm).
enum BgmId : int32_t {
    BGM_SELECT = 11,
    BGM_DECIDE = 12,
    BGM_WIN = 13,  // the one piece played once, not looped
    BGM_WIND = 14,
    BGM_ENDING = 15,
    BGM_COUNT = 16
};

struct SeDefinition {
    const char* key;
    int buffers;  // copies loaded, so the effect can overlap itself
};
extern const SeDefinition seDefinitions[SE_COUNT];
extern const char bgmKeys[BGM_COUNT][100];

struct SeEntry {
    uint8_t playedThisFrame = 0;
    std::vector<Sound*> pool;
};
extern std::vector<SeEntry> seTable;

// Music state; the game's start clears all four.
extern int32_t bgmCurrent;    // piece playing, 0 = none
extern int32_t bgmRequested;  // piece asked for
extern float bgmVolume;       // 0..100
extern Sound* bgmSound;

// The game's "sound off" setting: while set, every function here returns at
// once and no Sound is created. The game's start copies it from its config.
extern uint8_t soundOff;
// Puts the effect table, the music state and soundOff back as they are at
// program start; sounds are forgotten, not released (the sound layer's list
// frees them).
void ResetSoundState();

void LoadSeTable();
void PlaySe(int32_t id);
void ClearSePlayedFlags();
void ReleaseSeTable();

void PlayBgm(int32_t id);
void UpdateBgm();
void StopBgm();
void PlayStageBgm(int32_t stage);
