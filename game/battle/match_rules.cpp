#include "game/battle/match_rules.h"

#include <numeric>

#include "engine/core/math.h"
#include "game/arena/battle_state.h"
#include "game/arena/player_record.h"

std::vector<int32_t> stageGrades;

namespace {

float TimeFactor(int32_t t) {
    if (t < 6000) return 1.0f;
    if (t < 7200) return 0.8f;
    if (t < 8400) return 0.6f;
    if (t < 9600) return 0.4f;
    if (t < 10800) return 0.2f;
    return 0.1f;
}

float LifeFactor(float r) {
    if (r == 1.0f) return 1.0f;
    if (r >= 0.8f) return 0.8f;
    if (r >= 0.65f) return 0.6f;
    if (r >= 0.4f) return 0.4f;
    if (r >= 0.2f) return 0.2f;
    return 0.1f;
}

}  // namespace

int32_t ComputeGrade(int side) {
    const PlayerRecord& p = players[side];
    const float time = TimeFactor(battleFrame - 200);
    // A record without full life (never made by a battle) grades as empty.
    const float r = p.maxLife > 0 ? static_cast<float>(p.life) / static_cast<float>(p.maxLife) : 0.0f;
    if (r == 1.0f && time >= 0.8f) return GRADE_P;
    const float s = LifeFactor(r) + time;
    if (s >= 1.7f) return GRADE_S;
    if (s >= 1.5f) return GRADE_A;
    if (s >= 1.3f) return GRADE_B;
    if (s >= 1.0f) return GRADE_C;
    if (s >= 0.8f) return GRADE_D;
    return GRADE_E;
}

int32_t PickConclusionLine(int32_t character, int32_t opponent, int32_t stage) {
    static constexpr struct {
        int32_t character, opponent;
        bool onlyOnStage7;
    } specialLines[] = {
        {1, 7, true}, {2, 5, false}, {3, 2, false}, {4, 6, false}, {5, 4, false}, {6, 3, false}, {7, 1, true},
    };
    for (const auto& line : specialLines) {
        if (line.character == character && line.opponent == opponent && (!line.onlyOnStage7 || stage == 7))
            return 3;
    }
    const int32_t n = RandomInt(0, 300);
    if (n < 100) return 0;
    if (n < 200) return 1;
    return 2;
}

void AdvanceArcadeLadder() {
    static constexpr struct {
        int32_t opponent, stage;
    } ladder[] = {{2, 1}, {3, 2}, {4, 3}, {5, 4}, {6, 5}, {7, 7}, {8, 0}};
    if (arcadeStage < 0 || arcadeStage >= 7) return;
    players[1].characterId = ladder[arcadeStage].opponent;
    stageNumber = ladder[arcadeStage].stage;
    // Stage 7 while the grades so far sum below 11, else stage 8.
    if (arcadeStage == 5 && std::accumulate(stageGrades.begin(), stageGrades.end(), 0) >= 11) stageNumber = 8;
    if (players[1].characterId == players[0].characterId) players[1].characterId = 1;
}

void StartArcadeRun() {
    arcadeStage = 0;
    stageGrades.clear();
    arcadeScore = 0;
    AdvanceArcadeLadder();
}

void ResetMatchRulesState() { stageGrades.clear(); }
