// Per-frame cost of the Shots, HeavyShots and the hit resolution under a
// steady stream of fire from both sides, and of computing their sprites.
#include <benchmark/benchmark.h>

#include <cmath>

#include "engine/core/math.h"
#include "game/arena/battle_state.h"
#include "game/arena/object_lists.h"
#include "game/arena/particles.h"
#include "game/arena/player_record.h"
#include "game/characters/character_routines.h"
#include "game/flow/run_state.h"
#include "game/shots/collision.h"
#include "game/shots/heavy_shots.h"
#include "game/shots/shot_drawing.h"
#include "game/shots/shots.h"

namespace {

constexpr int32_t shotCodes[] = {110, 210, 301, 310, 410, 510, 610, 630, 701, 720, 770, 801};
constexpr int32_t heavyShotCodes[] = {101, 103, 220, 230, 302, 402, 510, 612, 701, 740, 803};

void StartBattle() {
    InitCharacterParams();
    gameMode = MODE_PRACTICE;  // nobody is knocked out: the stream never stops
    for (int side = 0; side < 2; ++side) {
        players[side] = PlayerRecord{};
        players[side].characterId = side + 1;
        ResetPlayerForBattle(side);
    }
    EmptyBattleObjectLists();
    particleList.Free();
    battleOver = 0;
    battleTimer = 100;
    viewWidth = 640.0f;
    viewHeight = 480.0f;
    SeedRandom(0);
}

// Each frame both sides fire `perFrame` objects each at the other.
void Fire(int32_t frame, int32_t perFrame) {
    for (int side = 0; side < 2; ++side) {
        const float at[2] = {players[side].x, players[side].y};
        const float aim = side == 0 ? 0.0f : 3.1415927f;
        for (int n = 0; n < perFrame; ++n) {
            const int32_t k = frame * perFrame + n;
            if (k % 2 == 0) SpawnShot(shotCodes[k / 2 % std::size(shotCodes)], aim, at, side);
            else SpawnHeavyShot(heavyShotCodes[k / 2 % std::size(heavyShotCodes)], aim, at, side);
        }
    }
}

void BM_ShotFrame(benchmark::State& state) {
    StartBattle();
    const int32_t perFrame = static_cast<int32_t>(state.range(0));
    int32_t frame = 0;
    for (auto _ : state) {
        Fire(frame++, perFrame);
        ClearAttackAreas();
        UpdateHeavyShots();
        UpdateShots();
        UpdateParticles();
        ResolveHits();
    }
    state.counters["shots"] = shotList.Size();
    state.counters["heavy"] = heavyShotList.Size();
}
BENCHMARK(BM_ShotFrame)->Arg(1)->Arg(4)->Unit(benchmark::kMicrosecond);

void BM_ShotSprites(benchmark::State& state) {
    StartBattle();
    for (int32_t frame = 0; frame < 100; ++frame) {
        Fire(frame, 2);
        UpdateHeavyShots();
        UpdateShots();
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(ShotSprites());
        benchmark::DoNotOptimize(HeavyShotSprites());
    }
    state.counters["objects"] = shotList.Size() + heavyShotList.Size();
}
BENCHMARK(BM_ShotSprites)->Unit(benchmark::kMicrosecond);

}  // namespace
