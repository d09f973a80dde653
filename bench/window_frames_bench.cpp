// The pacing of a real window's frames: the engine's window and OpenGL
// device in windowed mode, one cleared frame presented per pass of the frame
// loop (PumpMessages with its limiter) for ten seconds. Reports the mean and
// standard deviation of the intervals between presents. Argument 1 keeps the
// device's own swap interval (vsync); 0 turns it off, as windowed presents
// were before. Needs a display (DISPLAY, SDL_VIDEODRIVER=x11); skipped without.
#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <vector>

#include "engine/graphics/device.h"
#include "engine/startup/engine_main.h"
#include "platform/window.h"

namespace {

constexpr auto kMeasured = std::chrono::seconds(10);

void BM_WindowFrameIntervals(benchmark::State& state) {
    SetWindowed(1);
    SetFrameRate(60);
    if (!CreateAppWindow() || !InitializeDirectXGraphics()) {
        state.SkipWithError("no window or no OpenGL device");
        platform::CloseWindowSystem();
        return;
    }
    if (state.range(0) == 0) SDL_GL_SetSwapInterval(0);
    std::vector<double> intervals;
    for (auto _ : state) {
        using Clock = std::chrono::steady_clock;
        const auto end = Clock::now() + kMeasured;
        auto last = Clock::now();
        for (uint32_t frame = 0; Clock::now() < end; ++frame) {
            ClearTarget(0xFF000000u | (frame * 0x010305u & 0xFFFFFFu));
            if (BeginScene()) EndScene();
            PresentFrame();
            const auto now = Clock::now();
            if (frame > 0) intervals.push_back(std::chrono::duration<double, std::milli>(now - last).count());
            last = now;
            PumpMessages();
        }
    }
    DestroyDirectXGraphics();
    platform::CloseWindowSystem();
    double sum = 0.0, squares = 0.0;
    for (double ms : intervals) sum += ms;
    const double mean = intervals.empty() ? 0.0 : sum / intervals.size();
    for (double ms : intervals) squares += (ms - mean) * (ms - mean);
    state.counters["frames"] = static_cast<double>(intervals.size() + 1);
    state.counters["mean_ms"] = mean;
    state.counters["stddev_ms"] = intervals.empty() ? 0.0 : std::sqrt(squares / intervals.size());
}
BENCHMARK(BM_WindowFrameIntervals)->ArgName("vsync")->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
