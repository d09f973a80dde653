#pragma once
// Globals that the result screen reads and writes but other scenes own: the
// battle's end (battleResult, winnerSide) and the title menu (rankingPlace,
// animationNextScene). They stand here only until those scenes land, and go
// when they do.
#include <cstdint>

struct BattleResult {
    int32_t winnerCharacter;
    int32_t bestComboHits;
    int32_t bestComboDamage;
    int32_t life;  // the winner's remaining life
    int32_t timeBonus;
    int32_t grade;
    int32_t conclusionLine;  // 0..3
    int32_t score;
    int32_t previousScore;  // the arcade run's total before this battle
};

extern BattleResult battleResult;
extern int32_t winnerSide;
// The place of the last arcade score entered; 10 and above for none.
extern int32_t rankingPlace;
// The scene the animation viewer goes on to when it ends.
extern int32_t animationNextScene;
