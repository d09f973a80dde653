// Soak run: 200 battles of the computer against the computer in one process,
// mixed pairings and stages, through the real battle scene on the null device
// with the generated data set (every twentieth battle drawn in full). Every
// resource list must end at its starting count and the resident memory must
// stay within 5 % of what it was after the first battles; the run stops with
// an error otherwise. Not part of the test suite (it takes minutes): run
// build/bin/computer_soak_bench.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "engine/core/math.h"
#include "engine/devices/sound.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/texture.h"
#include "engine/models/model.h"
#include "engine/models/vertex_shader.h"
#include "game/arena/battle_state.h"
#include "game/battle/battle_scene.h"
#include "game/flow/run_state.h"
#include "tests/support/battle_run.h"
#include "tests/support/computer_opponent.h"

namespace {

constexpr int BATTLES = 200;
constexpr int WARM_UP_BATTLES = 8;  // one of each character loaded once
constexpr int REAL_DRAWING_EVERY = 20;
constexpr int FRAME_LIMIT = 99 * FRAMES_PER_TIMER_UNIT + 1000;

struct ListCounts {
    int textures, models, surfaces, shaders, sounds;
    bool operator==(const ListCounts&) const = default;
};

ListCounts CountLists() {
    return {textureList.GetCount(), modelList.GetCount(), surfaceList.GetCount(), vertexShaderList.GetCount(),
            soundList.GetCount()};
}

std::string Describe(const ListCounts& c) {
    char text[160];
    std::snprintf(text, sizeof text, "%d textures, %d models, %d surfaces, %d shaders, %d sounds", c.textures,
                  c.models, c.surfaces, c.shaders, c.sounds);
    return text;
}

double ResidentMegabytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

void ComputerSoak(benchmark::State& state) {
    for (auto _ : state) {
        test::BattleRun run{test::OnTheDataSet()};  // on the data set, as the game plays
        if (!run.scene().hasDataSet()) {
            state.SkipWithError("no data set (see the message above)");
            return;
        }
        const ListCounts start = CountLists();
        double settled = 0.0, highest = 0.0;
        int64_t frames = 0;
        for (int i = 0; i < BATTLES; ++i) {
            test::ComputerAtSideZero side0(static_cast<uint32_t>(i) * 31u + 7u);
            run.SetScript(side0.Script());
            // The battle's whole picture on the software device costs a
            // hundred times its update: every twentieth battle is drawn in
            // full, the others draw only what carries state.
            run.UseRealDrawing(i % REAL_DRAWING_EVERY == 0);
            test::BattleSetup setup;
            setup.characters[0] = i % 8 + 1;
            setup.characters[1] = (i / 8 + i) % 8 + 1;  // every pairing within 64 battles
            setup.stage = i % 9;
            setup.mode = MODE_1P_VS_CPU;
            setup.difficulty = DIFFICULTY_HARD;
            SeedRandom(static_cast<unsigned>(i));
            run.Start(setup);
            // The harness's device logs every call; that log is not the game's
            // memory, so it is emptied after each frame.
            test::RecordingDevice* device = run.scene().device();
            for (int f = 0; f < FRAME_LIMIT && run.RunFrame(); ++f) {
                ++frames;
                if (device) device->ClearCalls();
            }
            run.SetScript(nullptr);
            if (!run.ended() || sceneNumber != SCENE_RESULT) {
                state.SkipWithError(("battle " + std::to_string(i) + " did not end").c_str());
                return;
            }
            if (CountLists() != start) {
                state.SkipWithError(("after battle " + std::to_string(i) + ": " + Describe(CountLists()) +
                                     ", at the start " + Describe(start))
                                        .c_str());
                return;
            }
            const double resident = ResidentMegabytes();
            if ((i + 1) % 20 == 0) std::fprintf(stderr, "%d battles, %.1f MB resident\n", i + 1, resident);
            if (i + 1 == WARM_UP_BATTLES) settled = resident;
            if (i + 1 >= WARM_UP_BATTLES && resident > highest) highest = resident;
        }
        const double growth = (highest - settled) / settled;
        state.counters["battles"] = BATTLES;
        state.counters["frames"] = static_cast<double>(frames);
        state.counters["resident_mb_settled"] = settled;
        state.counters["resident_mb_highest"] = highest;
        state.counters["resident_growth_pct"] = growth * 100.0;
        if (growth > 0.05) state.SkipWithError("resident memory grew by more than 5 %");
    }
}

BENCHMARK(ComputerSoak)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
