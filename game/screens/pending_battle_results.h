#pragma once
// What the battle's end leaves for the result screen. The battle scene owns
// these; they stand here only until it lands, and go when it does.
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
