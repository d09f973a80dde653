#include "game/characters/computer_player.h"

#include "engine/core/math.h"
#include "game/arena/player_record.h"
#include "game/characters/character_actions.h"
#include "game/characters/character_routines.h"
#include "game/characters/kirune.h"
#include "game/flow/run_state.h"

InputWord cpuRandomWordA = 0;
InputWord cpuRandomWordB = 0;

namespace {

// The whole words the rules set.
constexpr InputWord WORD_Z = INPUT_Z;
constexpr InputWord WORD_X = INPUT_X;
constexpr InputWord WORD_C = INPUT_C;
constexpr InputWord WORD_CX = INPUT_C | INPUT_X;
constexpr InputWord WORD_CV = INPUT_C | INPUT_V;
constexpr InputWord WORD_AZ = INPUT_A | INPUT_Z;
constexpr InputWord WORD_AX = INPUT_A | INPUT_X;
constexpr InputWord WORD_AC = INPUT_A | INPUT_C;
constexpr InputWord WORD_ACZ = INPUT_A | INPUT_C | INPUT_Z;
constexpr InputWord WORD_S = INPUT_S;

// The move states the rules chain from.
constexpr int32_t BEMO_VORTEX = 28;
constexpr int32_t BEMO_SIDE_SHOT = 29;
constexpr int32_t RUO_LUNGE = 63;
constexpr int32_t RUO_SECOND_STROKE = 64;
constexpr int32_t RUO_THIRD_STROKE = 65;
constexpr int32_t TORVI_VOLLEY = 77;
constexpr int32_t NEBU_CHAIN = 97;
constexpr int32_t NEBU_CHAIN_VOLLEY = 98;
constexpr int32_t WELO_SLASH = 111;
constexpr int32_t WELO_BACK_SLASH = 112;
constexpr int32_t WELO_THRUST = 116;

// The orb command of perila's C high attack (each orb fires a ray); while
// her seventh orb still holds it, the computer keeps Z down and X up.
constexpr int32_t PERILA_FORMATION_ORB = 302;

// Squared distances between the two sides.
constexpr double CLOSE_80 = 6400.0;
constexpr double NEAR_150 = 22500.0;
constexpr double NEAR_200 = 40000.0;
constexpr double FAR_300 = 90000.0;

int32_t Chance() { return RandomInt(0, 200); }

const PlayerRecord& Self(int32_t side) { return players[side]; }
const PlayerRecord& Opponent(int32_t side) { return players[1 - side]; }

bool OpponentHit(int32_t side) { return Opponent(side).state == PLAYER_KNOCKED_BACK; }
bool OpponentBusy(int32_t side) { return Opponent(side).state != PLAYER_FREE; }

double SquaredDistance(int32_t side) { return ::SquaredDistance(Self(side), Opponent(side)); }

bool Has(InputWord word, InputWord bits) { return (word & bits) == bits; }

// The side's own move at a given stateTimer while the opponent is knocked
// back: the frames on which a chain releases its buttons and presses the next.
bool ChainFrame(int32_t side, int32_t state, int32_t t) {
    const PlayerRecord& p = Self(side);
    return p.state == state && p.stateTimer == t && OpponentHit(side);
}

// Releases all buttons on frame `t` of the move and presses `next` on frame
// t + 1, so that the next move of the chain starts on a fresh press.
template <typename Next>
void ChainOn(InputWord* word, int32_t side, int32_t state, int32_t t, Next next) {
    if (ChainFrame(side, state, t)) *word = 0;
    else if (ChainFrame(side, state, t + 1)) *word = next();
}

struct BaseShape {
    int32_t assaultPeriod, assaultWidth, assaultChance;  // A added
    int32_t calmPeriod, calmWidth;                       // only arrows and V kept
};

constexpr InputWord BELOW_C = INPUT_C - 1;
constexpr InputWord ARROWS_AND_V = INPUT_UP | INPUT_DOWN | INPUT_LEFT | INPUT_RIGHT | INPUT_V;

constexpr BaseShape BASE_A{135, 95, 140, 225, 55};
constexpr BaseShape BASE_B{100, 30, 100, 250, 60};

void GenerateRandomBase(const BaseShape& shape, InputWord* base, InputWord* word, int32_t side) {
    const PlayerRecord& p = Self(side);
    const int32_t c = p.counter;
    if (c % 10 == 0) {
        *base = static_cast<InputWord>(RandomInt(0, 255));
        if (Chance() < 180) *base &= BELOW_C;
    }
    if (c % shape.assaultPeriod < shape.assaultWidth && Chance() < shape.assaultChance) *base |= INPUT_A;
    if (c % shape.calmPeriod < shape.calmWidth && Chance() < 180) *base &= ARROWS_AND_V;
    if (p.state == PLAYER_KNOCKED_BACK && Chance() < 150) *base = 0;
    *word = *base;
}

// A far opponent is not worth the A moves' rush.
void DropFarAssault(InputWord* word, int32_t side) {
    if ((*word & INPUT_A) && SquaredDistance(side) > FAR_300) *word &= ~INPUT_A;
}

using Rules = void (*)(InputWord* word, int32_t side);

struct Routine {
    void (*base)(InputWord* word, int32_t side);
    int32_t aimOffset, aimPeriod, aimWidth;
    int32_t burstDamage, burstHits;
    Rules rules;
    Rules beforeAim;  // welo's first rule comes before its aim window
};

void RunRoutine(const Routine& r, InputWord* word, int32_t side) {
    const PlayerRecord& p = Self(side);
    r.base(word, side);
    if (r.beforeAim) r.beforeAim(word, side);
    if ((p.counter + r.aimOffset) % r.aimPeriod < r.aimWidth) AimCpuAtOpponent(word, side);
    r.rules(word, side);

    // Drawn every frame, whether or not the rest can hold.
    const int32_t window = RandomInt(0, 100);
    if ((window + p.counter) % 50 < 10 && difficulty == DIFFICULTY_HARD && p.hyperGauge >= 3.0 &&
        OpponentHit(side)) {
        *word = WORD_ACZ;
    }

    // Bursting out of a long combo: S pressed on every other frame.
    if (difficulty == DIFFICULTY_HARD && p.hyperGauge >= 1.0 && p.state == PLAYER_KNOCKED_BACK &&
        (Opponent(side).comboDamage > r.burstDamage || p.comboHits > r.burstHits)) {
        *word = p.stateTimer % 2 == 0 ? 0 : WORD_S;
    }
}

void KiruneRules(InputWord* word, int32_t side) {
    if (OpponentHit(side) && SquaredDistance(side) < NEAR_200) *word = WORD_AZ;
    if (OpponentBusy(side) && Chance() < 10 && SquaredDistance(side) < NEAR_200) *word = WORD_AZ;
    ChainOn(word, side, KIRUNE_SLASH_1, 12, [] { return WORD_AZ; });
    ChainOn(word, side, KIRUNE_SLASH_2, 12, [] { return Chance() <= 100 ? WORD_Z : WORD_AZ; });
}

void BemoRules(InputWord* word, int32_t side) {
    const PlayerRecord& p = Self(side);
    DropFarAssault(word, side);
    if (p.state == BEMO_VORTEX && p.stateTimer >= 11 &&
        (p.stateTimer <= 59 || (difficulty == DIFFICULTY_HARD && p.stateTimer <= 79))) {
        *word = WORD_C;
    }
    if (OpponentHit(side) && SquaredDistance(side) < NEAR_150) *word = WORD_AZ;
    ChainOn(word, side, BEMO_SIDE_SHOT, 14, [] { return WORD_AZ; });
}

bool InHighAttackGauge(int32_t side) {
    const float g = Self(side).hyperGauge;
    return g >= 1.0 && g <= 2.5;
}

void OzaRules(InputWord* word, int32_t side) {
    if ((*word & INPUT_A) && Chance() < 100) *word &= ~INPUT_A;
    if (OpponentHit(side) && InHighAttackGauge(side) && Chance() < 5) *word = WORD_C;
}

void PerilaRules(InputWord* word, int32_t side) {
    // The list holds her seven orbs for the whole fight, but is emptied at
    // the knock-out.
    const auto& objects = Self(side).objects;
    if (objects.size() >= 7 && objects[6].type == PERILA_FORMATION_ORB) {
        *word |= INPUT_Z;
        *word &= ~INPUT_X;
    }
    if (OpponentHit(side) && InHighAttackGauge(side) && Chance() < 5) *word = WORD_CV;
    if (OpponentBusy(side) && Chance() < 5 && SquaredDistance(side) < NEAR_200) *word = WORD_AX;
}

void RuoRules(InputWord* word, int32_t side) {
    const PlayerRecord& p = Self(side);
    const bool charged = p.hyperGauge >= 1.0;
    DropFarAssault(word, side);
    if (OpponentHit(side) && SquaredDistance(side) < FAR_300) *word = WORD_AZ;
    if (OpponentBusy(side) && Chance() < 10 && SquaredDistance(side) < NEAR_200) {
        *word = charged && Chance() < 5 ? WORD_CX : WORD_AZ;
    }
    if (difficulty == DIFFICULTY_HARD && charged && p.counter % 88 == 0) *word = WORD_AC;
    ChainOn(word, side, RUO_LUNGE, 14, [] { return WORD_AZ; });
    ChainOn(word, side, RUO_SECOND_STROKE, 14, [] { return WORD_AZ; });
    ChainOn(word, side, RUO_THIRD_STROKE, 14, [&] { return charged && p.modeFlag > 0 ? WORD_AC : WORD_AZ; });
}

void TorviRules(InputWord* word, int32_t side) {
    const PlayerRecord& p = Self(side);
    if ((*word & INPUT_X) && Chance() < 100) *word |= INPUT_A;
    if (p.state == TORVI_VOLLEY && p.stateTimer >= 11 && p.stateTimer <= 39) *word = WORD_X;
    if (OpponentBusy(side) && p.hyperGauge >= 1.0 && p.hyperGauge <= 2.2 && Chance() < 5 &&
        SquaredDistance(side) < NEAR_200) {
        *word = WORD_AC;
        return;  // the high attack keeps its A
    }
    if (p.hyperGauge >= 1.0 && Has(*word, INPUT_C | INPUT_A)) *word &= ~INPUT_A;
}

void NebuRules(InputWord* word, int32_t side) {
    const float g = Self(side).hyperGauge;
    DropFarAssault(word, side);
    if (OpponentHit(side) && SquaredDistance(side) < NEAR_200) *word = WORD_AZ;
    if (OpponentBusy(side) && Chance() < 10 && SquaredDistance(side) < NEAR_150) *word = WORD_AZ;
    ChainOn(word, side, NEBU_CHAIN, 12, [] { return WORD_Z; });
    ChainOn(word, side, NEBU_CHAIN_VOLLEY, 20, [&] {
        if (g >= 3.0) return WORD_ACZ;
        if (g >= 1.0) return WORD_CX;
        return SquaredDistance(side) < CLOSE_80 ? WORD_AX : WORD_X;
    });
}

void WeloRules(InputWord* word, int32_t side) {
    const bool charged = Self(side).hyperGauge >= 1.0;
    if (OpponentHit(side) && SquaredDistance(side) < FAR_300) *word = WORD_AX;
    if (OpponentBusy(side) && Chance() < 10 && SquaredDistance(side) < NEAR_200) {
        *word = charged ? WORD_AC : WORD_AZ;
    }
    ChainOn(word, side, WELO_SLASH, 12, [] { return Chance() <= 150 ? WORD_X : WORD_AZ; });
    ChainOn(word, side, WELO_BACK_SLASH, 12, [&] { return charged ? WORD_AC : WORD_AZ; });
    ChainOn(word, side, WELO_THRUST, 12, [] { return WORD_Z; });
}

constexpr Routine KIRUNE{GenerateRandomCpuInputA, 777, 300, 200, 500, 5, KiruneRules, nullptr};
constexpr Routine BEMO{GenerateRandomCpuInputB, 222, 400, 250, 800, 8, BemoRules, nullptr};
constexpr Routine OZA{GenerateRandomCpuInputB, 777, 300, 150, 800, 8, OzaRules, nullptr};
constexpr Routine PERILA{GenerateRandomCpuInputA, 777, 300, 150, 800, 8, PerilaRules, nullptr};
constexpr Routine RUO{GenerateRandomCpuInputA, 333, 200, 190, 800, 4, RuoRules, nullptr};
constexpr Routine TORVI{GenerateRandomCpuInputB, 777, 300, 150, 1000, 10, TorviRules, nullptr};
constexpr Routine NEBU{GenerateRandomCpuInputA, 777, 400, 300, 500, 5, NebuRules, nullptr};
constexpr Routine WELO{GenerateRandomCpuInputA, 777, 300, 200, 500, 5, WeloRules, DropFarAssault};

}  // namespace

void GenerateRandomCpuInputA(InputWord* word, int32_t side) { GenerateRandomBase(BASE_A, &cpuRandomWordA, word, side); }
void GenerateRandomCpuInputB(InputWord* word, int32_t side) { GenerateRandomBase(BASE_B, &cpuRandomWordB, word, side); }

void AimCpuAtOpponent(InputWord* word, int32_t side) {
    const PlayerRecord& p = Self(side);
    const PlayerRecord& o = Opponent(side);
    if (p.x > o.x) *word |= INPUT_LEFT;
    else if (p.x < o.x) *word |= INPUT_RIGHT;
    if (p.y > o.y) *word |= INPUT_DOWN;
    else if (p.y < o.y) *word |= INPUT_UP;
}

void GenerateCpuInputKirune(InputWord* word, int32_t side) { RunRoutine(KIRUNE, word, side); }
void GenerateCpuInputBemo(InputWord* word, int32_t side) { RunRoutine(BEMO, word, side); }
void GenerateCpuInputOza(InputWord* word, int32_t side) { RunRoutine(OZA, word, side); }
void GenerateCpuInputPerila(InputWord* word, int32_t side) { RunRoutine(PERILA, word, side); }
void GenerateCpuInputRuo(InputWord* word, int32_t side) { RunRoutine(RUO, word, side); }
void GenerateCpuInputTorvi(InputWord* word, int32_t side) { RunRoutine(TORVI, word, side); }
void GenerateCpuInputNebu(InputWord* word, int32_t side) { RunRoutine(NEBU, word, side); }
void GenerateCpuInputWelo(InputWord* word, int32_t side) { RunRoutine(WELO, word, side); }

void GenerateCpuInput(InputWord* word, int32_t side) {
    const CharacterRoutines* routines = FindCharacterRoutines(players[side].characterId);
    if (difficulty == DIFFICULTY_EASY || !routines) GenerateRandomCpuInputA(word, side);
    else routines->cpuInput(word, side);
}

void ResetComputerPlayerState() {
    cpuRandomWordA = 0;
    cpuRandomWordB = 0;
}
