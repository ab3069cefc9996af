// The cost of showing a frame: encoding the grid into cells, building the terminal bytes,
// and the heaviest frame of the show from the first draw to the encoded cells.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>

#include "display/color_grid.h"
#include "display/display_config.h"
#include "display/present.h"
#include "driver/demo.h"
#include "driver/frame_state.h"
#include "driver/timeline.h"
#include "effects/image.h"
#include "effects/text.h"
#include "platform/terminal/memory_console.h"
#include "platform/terminal/terminal_diff.h"

namespace {

// A grid with a colour change in most cells, so nothing is cheaper than in the show.
void fillBusyGrid() {
    for (int x = 0; x < gridSize; ++x)
        for (int y = 0; y < gridSize; ++y)
            colorGrid[x][y] = Rgb{std::fmod(x * 0.37f, 2.0f), std::fmod(y * 0.23f, 2.0f), std::fmod((x + y) * 0.11f, 2.0f)};
}

void useMemoryConsole() {
    selectConsole(memoryConsole());
    initDisplay(demoDisplayConfig());
}

void presentFrameEncoding(benchmark::State& state) {
    useMemoryConsole();
    fillBusyGrid();
    for (auto _ : state) {
        presentFrame();
        benchmark::DoNotOptimize(cellBuffer);
    }
}
BENCHMARK(presentFrameEncoding);

// The worst case of the terminal's bytes: a screen it knows nothing of, repainted in full.
void terminalRepaintBytes(benchmark::State& state) {
    useMemoryConsole();
    fillBusyGrid();
    presentFrame();
    static TerminalScreen screen;
    resetScreen(screen, consoleRows, consoleColumns);
    static char bytes[maxUpdateBytes];
    size_t count = 0;
    for (auto _ : state) {
        forgetScreen(screen);
        count = encodeUpdate(cellBuffer, UpdateOptions{ColorMode::ansi16, true}, screen, bytes);
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["bytes_per_frame"] = static_cast<double>(count);
}
BENCHMARK(terminalRepaintBytes);

// Second 100: plasma, the black and the white spiked cube, the scrolling sentence, then
// the flush of 48 triangles and the encoding.
void heaviestFrame(benchmark::State& state) {
    useMemoryConsole();
    std::memset(fontSheet, 0, sizeof fontSheet);
    for (int i = 0; i < 128 * 256; ++i) fontSheet[i] = (i % 3) ? 255 : 0;
    demoTime = 110.0f;
    bassLevel = 5.0f;
    for (auto _ : state) {
        updateLateScenes();
        presentFrame();
        benchmark::DoNotOptimize(cellBuffer);
    }
}
BENCHMARK(heaviestFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
