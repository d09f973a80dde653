// Per-frame cost of the battle's particle and object-list work.
#include <benchmark/benchmark.h>

#include "engine/core/math.h"
#include "game/arena/battle_state.h"
#include "game/arena/object_lists.h"
#include "game/arena/particles.h"
#include "game/shots/shots.h"

namespace {

// A steady stream of bursts: each frame spawns `state.range(0)` particles and
// updates them all; the list settles at about 51 frames' worth.
void BM_ParticleFrame(benchmark::State& state) {
    SeedRandom(0);
    particleList.Free();
    const float at[2] = {0.0f, 0.0f};
    const int32_t perFrame = static_cast<int32_t>(state.range(0));
    for (auto _ : state) {
        SpawnParticles(27, perFrame, 0.0f, at);
        UpdateParticles();
        benchmark::DoNotOptimize(particleList.Size());
    }
    state.counters["live"] = particleList.Size();
}
BENCHMARK(BM_ParticleFrame)->Arg(20)->Arg(100);

void BM_ParticleSprites(benchmark::State& state) {
    SeedRandom(0);
    particleList.Free();
    viewWidth = 640.0f;
    viewHeight = 480.0f;
    const float at[2] = {0.0f, 0.0f};
    SpawnParticles(27, static_cast<int32_t>(state.range(0)), 0.0f, at);
    for (auto _ : state) benchmark::DoNotOptimize(ParticleSprites());
}
BENCHMARK(BM_ParticleSprites)->Arg(1000);

// A battle's particles or Shots held at about `state.range(0)` live records:
// each frame spawns as many as die of age (particles live 50 updates, Shots
// of type 770 100) and updates the list. The time per frame should grow in
// proportion to the live records.
void HoldLive(benchmark::State& state, int32_t lifetime, void (*spawn)(int32_t frame, int32_t count),
              void (*update)(), int32_t (*live)()) {
    SeedRandom(0);
    EmptyBattleObjectLists();
    particleList.Free();
    const int32_t perFrame = static_cast<int32_t>(state.range(0)) / lifetime;
    int32_t frame = 0;
    for (; frame < 2 * lifetime; ++frame) {
        spawn(frame, perFrame);
        update();
    }
    for (auto _ : state) {
        spawn(frame++, perFrame);
        update();
        benchmark::DoNotOptimize(live());
    }
    state.counters["live"] = live();
    state.SetComplexityN(live());
}

void BM_LiveParticles(benchmark::State& state) {
    HoldLive(
        state, 50,
        [](int32_t, int32_t count) {
            const float at[2] = {0.0f, 0.0f};
            SpawnParticles(27, count, 0.0f, at);
        },
        UpdateParticles, [] { return particleList.Size(); });
}
BENCHMARK(BM_LiveParticles)->Arg(500)->Arg(1000)->Arg(2000)->Complexity(benchmark::oN);

void BM_LiveShots(benchmark::State& state) {
    HoldLive(
        state, 100,
        [](int32_t frame, int32_t count) {
            const float at[2] = {0.0f, 0.0f};
            for (int32_t n = 0; n < count; ++n) SpawnShot(770, static_cast<float>(frame * count + n) * 0.1f, at, n % 2);
        },
        UpdateShots, [] { return shotList.Size(); });
}
BENCHMARK(BM_LiveShots)->Arg(500)->Arg(1000)->Arg(2000)->Complexity(benchmark::oN);

Shot ShotOfType(int32_t type) {
    Shot shot{};
    shot.type = type;
    return shot;
}

// A walk that erases every other record of a 1000-record list and appends as
// many as it erased, as a busy update frame does.
void BM_ObjectListWalk(benchmark::State& state) {
    ObjectList<Shot> list;
    for (auto _ : state) {
        state.PauseTiming();
        list.Clear();
        for (int32_t i = 0; i < 1000; ++i) list.Append(ShotOfType(i));
        state.ResumeTiming();
        int32_t appended = 0;
        WalkObjectList(list, [&](int32_t i) {
            list[i].age += 1;
            if (list[i].type % 2 == 0 && list[i].type < 1000) {
                if (appended++ < 500) list.Append(ShotOfType(1000 + appended));
                return WalkStep::Erase;
            }
            return WalkStep::Keep;
        });
        benchmark::DoNotOptimize(list.Size());
    }
}
BENCHMARK(BM_ObjectListWalk);

}  // namespace
