// The whole show computed frame by frame at 60 frames a second, as a capture does but
// without pictures or sound: 15,600 frames. Reports frames per second and the slowest frame.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "driver/capture.h"
#include "driver/demo.h"
#include "driver/frame_state.h"
#include "effects/image.h"
#include "effects/text.h"
#include "platform/audio/audio.h"
#include "platform/system/clock.h"
#include "platform/terminal/memory_console.h"

namespace {

void wholeShowAt60(benchmark::State& state) {
    std::filesystem::current_path(ZORBEL_SOURCE_DIR);  // the shipped Data/
    selectConsole(memoryConsole());
    setMusicMode(MusicMode::off);
    useVirtualClock(0);
    if (!startDemo(false)) {
        state.SkipWithError("the shipped Data/ could not be loaded");
        return;
    }
    const long frames = 260 * 60;
    double slowest = 0;
    for (auto _ : state) {
        for (long frame = 1; frame <= frames; ++frame) {
            setVirtualTicks(captureTicks(frame, 60));
            const auto began = std::chrono::steady_clock::now();
            tickFrame();
            slowest = std::max(slowest, std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - began).count());
        }
    }
    state.counters["frames_per_second"] = benchmark::Counter(static_cast<double>(frames) * state.iterations(), benchmark::Counter::kIsRate);
    state.counters["slowest_frame_us"] = slowest;
}
BENCHMARK(wholeShowAt60)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
