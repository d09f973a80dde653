// Per-frame cost of the Effects and the satellites: a steady stream of spark
// bursts and graze lines, and seven satellites circling under orders.
#include <benchmark/benchmark.h>

#include "engine/core/math.h"
#include "game/arena/battle_state.h"
#include "game/arena/object_lists.h"
#include "game/arena/player_record.h"
#include "game/characters/character_routines.h"
#include "game/shots/attack_areas.h"
#include "game/shots/effects.h"
#include "game/shots/player_objects.h"

namespace {

void ResetBattle() {
    SeedRandom(0);
    InitCharacterParams();
    viewWidth = 640.0f;
    viewHeight = 480.0f;
    players[0].characterId = 4;
    players[1].characterId = 5;
    ResetPlayerForBattle(0);
    ResetPlayerForBattle(1);
    EmptyBattleObjectLists();
}

// Each frame spawns `state.range(0)` Effects (bursts of five and graze
// lines) and updates them all; the list settles at some hundreds.
void BM_EffectFrame(benchmark::State& state) {
    ResetBattle();
    const float at[2] = {10.0f, 20.0f};
    const int32_t perFrame = static_cast<int32_t>(state.range(0));
    for (auto _ : state) {
        for (int32_t i = 0; i < perFrame; ++i) SpawnEffect(i % 2 == 0 ? 21 : 1001, 0.5f, at, i % 2);
        UpdateEffects();
        benchmark::DoNotOptimize(effectList.Size());
    }
    state.counters["live"] = effectList.Size();
}
BENCHMARK(BM_EffectFrame)->Arg(4)->Arg(20);

void BM_EffectSprites(benchmark::State& state) {
    ResetBattle();
    const float at[2] = {10.0f, 20.0f};
    for (int32_t i = 0; i < 50; ++i) {
        SpawnEffect(21, 0.5f, at, 0);
        SpawnEffect(1001, 0.5f, at, 1);
        UpdateEffects();
    }
    for (auto _ : state) benchmark::DoNotOptimize(EffectSprites().size());
    state.counters["effects"] = effectList.Size();
}
BENCHMARK(BM_EffectSprites);

// Seven satellites, one of them under a blade order that lays four areas a
// frame; the areas are cleared each frame as in the battle.
void BM_SatelliteFrame(benchmark::State& state) {
    ResetBattle();
    int32_t frame = 0;
    for (auto _ : state) {
        ClearAttackAreas();
        if (frame++ % 51 == 0) players[0].objects[3].type = 340;
        UpdatePlayerObjects(0);
        benchmark::DoNotOptimize(PlayerObjectSprites(0).size());
    }
}
BENCHMARK(BM_SatelliteFrame);

}  // namespace
