#pragma once
// The rules that turn a finished battle into its grade, pick the winner's
// closing line and move the arcade ladder on.
#include <cstdint>
#include <vector>

enum Grade : int32_t {
    GRADE_P,  // best
    GRADE_S,
    GRADE_A,
    GRADE_B,
    GRADE_C,
    GRADE_D,
    GRADE_E,
    GRADE_CONTINUE,  // a lost arcade battle
};

// One Grade per arcade battle of the current run.
extern std::vector<int32_t> stageGrades;
// Forgets the run's grades, as at program start.
void ResetMatchRulesState();

// Grade of side's battle from its remaining life and battleFrame.
int32_t ComputeGrade(int side);
// 0..3: 3 is the special line of a pairing; otherwise one random draw
// (RandomInt(0, 300)) picks 0, 1 or 2.
int32_t PickConclusionLine(int32_t character, int32_t opponent, int32_t stage);
// Sets the next arcade opponent (players[1].characterId) and stageNumber from
// arcadeStage.
void AdvanceArcadeLadder();
// A new arcade run: stage 0 of the ladder, no grades, no score, the first
// opponent set.
void StartArcadeRun();
