#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>

#include "engine/devices/input.h"
#include "game/flow/input_words.h"

namespace {

// Both sides' words and states from two SDL virtual joysticks: the front-end's
// per-frame input step (a battle frame reads up to four words).
void BM_PollInputTwoJoysticks(benchmark::State& state) {
    auto system = platform::CreateSdlJoystickSystem(/*readsNeedFocus=*/false);
    if (!system) {
        state.SkipWithError("no SDL joystick subsystem");
        return;
    }
    for (int i = 0; i < 2; ++i) SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 6, 16, 1);
    SetJoystickSystemFactory([] { return platform::CreateSdlJoystickSystem(false); });
    InitializeInput();
    for (auto _ : state) {
        PollInput();
        benchmark::DoNotOptimize(inputWords[1]);
    }
    ShutdownInput();
    SetJoystickSystemFactory(nullptr);
}
BENCHMARK(BM_PollInputTwoJoysticks);

}  // namespace
