// The whole show with its music decoded, frame by frame on the virtual clock at 60 frames
// a second, through the calls the web page makes (browser_show.h): the native side of the
// comparison bench/web_page.py makes in Node.js and headless Chromium on the same frames.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "driver/browser_show.h"

namespace {

void wholeShowWithMusic(benchmark::State& state) {
    // The shipped Data/, as the page finds its packed copy in its working directory.
    std::filesystem::current_path(ZORBEL_SOURCE_DIR);
    const long frames = 260 * 60;
    double slowest = 0;
    for (auto _ : state) {
        if (!zorbel_virtual_start(1)) {
            state.SkipWithError("the shipped Data/ could not be loaded");
            return;
        }
        for (long frame = 1; frame <= frames; ++frame) {
            const auto began = std::chrono::steady_clock::now();
            zorbel_virtual_frame(frame, 60);
            slowest = std::max(slowest, std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - began).count());
        }
    }
    state.counters["frames_per_second"] = benchmark::Counter(static_cast<double>(frames) * state.iterations(), benchmark::Counter::kIsRate);
    state.counters["slowest_frame_us"] = slowest;
}
BENCHMARK(wholeShowWithMusic)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
