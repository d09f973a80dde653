#pragma once
// The battle scene: its start (InitBattle), its frame (RunBattleScene) and its
// end (EndBattle). Every decision of a frame depends only on the two sides'
// InputWords and the one random generator, in a fixed order, so a battle
// replays and runs over the network the same way.
#include <cstdint>

enum BattleEndChoice : int32_t {
    BATTLE_END_NORMAL = 0,  // knock-out or time up
    BATTLE_END_RETRY = 10,  // the rest from the in-battle menu
    BATTLE_END_SELECT = 20,
    BATTLE_END_TITLE = 30,
};

// The outcome of a battle as the result screen reads it.
struct BattleResult {
    int32_t winnerCharacter;
    int32_t bestComboHits;
    int32_t bestComboDamage;
    int32_t life;  // the winner's remaining life
    int32_t timeBonus;
    int32_t grade;
    int32_t conclusionLine;
    int32_t score;
    int32_t previousScore;

    bool operator==(const BattleResult&) const = default;
};

extern int32_t battleEndChoice;
extern int32_t winnerSide;
extern BattleResult battleResult;
// Battles won per side since the title menu last cleared them.
extern int32_t winCounts[2];

// The start countdown: above this no input passes at all, below it only the
// arrows and V (the masks themselves live in the input exchange).
constexpr int32_t START_COUNTDOWN = 200;
// A knocked-out side ends the fight after this many frames.
constexpr int32_t KNOCKOUT_END_FRAMES = 50;
// Frames per unit of the battle timer.
constexpr int32_t FRAMES_PER_TIMER_UNIT = 80;

void RunBattleScene();
void InitBattle();
void EndBattle();
// EndBattle's first step: every picture and model the battle loaded.
void ReleaseBattleAssets();

// The battle timer's first value: 99, or 100 (no limit) with the setting;
// network matches always have the limit and practice never. A replay plays
// with the limit it was recorded with.
int32_t StartingBattleTimer();
// The side that won: more life, then the greater best combo damage, then
// side 0 only with strictly more best combo hits (a full tie goes to side 1).
int32_t DecideWinner();
// 12000 less 1.5 per frame after the countdown, 0 below 100, at most 10000.
int32_t ComputeTimeBonus(int32_t frames);

// The drawing the battle frame calls between reading and applying input;
// DrawBattle unless replaced. Null restores it.
using BattleDrawing = void (*)();
void SetBattleDrawing(BattleDrawing drawing);
// Puts the scene's results, win counts, zoom and drawing back as they are
// at program start.
void ResetBattleSceneState();
