// Bytes and time the terminal output costs per frame over the whole show: the plain full
// repaint, the damage encoder, and ncurses drawing the same frames with its own optimizer.
// The byte table is printed once, before the timing benchmarks run.
#include "driver/demo.h"
#include "driver/frame_state.h"
#include "effects/image.h"
#include "effects/text.h"
#include "full_repaint.h"
#include "platform/audio/audio.h"
#include "platform/system/clock.h"
#include "platform/terminal/memory_console.h"
#include "platform/terminal/terminal_diff.h"
#include "platform/terminal/terminal_stream.h"

#include <benchmark/benchmark.h>
#define NCURSES_WIDECHAR 1
#include <ncursesw/ncurses.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr long showFrames = 260 * 60 + 1;  // the all-blue start frame, then 60 per second

// Without the shipped data: four pictures of one colour each and an empty font.
fs::path makeScratchData() {
    const fs::path folder = fs::temp_directory_path() / "zorbel-bench-terminal";
    fs::create_directories(folder / "Data");
    const char* names[] = {"intro.raw", "intro2.raw", "intro3.raw", "intro4.raw"};
    for (int picture = 0; picture < 4; ++picture) {
        std::string bytes(24000, '\0');
        std::fill(bytes.begin() + 8000 * (picture % 3), bytes.begin() + 8000 * (picture % 3 + 1), char(200));
        std::ofstream(folder / "Data" / names[picture], std::ios::binary) << bytes;
    }
    std::ofstream(folder / "Data" / "font.raw", std::ios::binary) << std::string(192000, '\0');
    return folder;
}

// Every frame of the show as attribute bytes (every cell is a half block).
std::vector<uint8_t> frames;

void renderShow() {
    const fs::path previous = fs::current_path();
    const fs::path shipped = fs::path(ZORBEL_SOURCE_DIR) / "Data" / "font.raw";
    const fs::path scratch = fs::exists(shipped) ? fs::path() : makeScratchData();
    fs::current_path(scratch.empty() ? fs::path(ZORBEL_SOURCE_DIR) : scratch);
    std::printf("frames from %s data\n", scratch.empty() ? "the shipped" : "made-up");
    selectConsole(memoryConsole());
    useVirtualClock(0);
    setMusicMode(MusicMode::off);
    if (!startDemo(false)) std::exit(1);
    frames.resize(static_cast<size_t>(showFrames) * consoleRows * consoleColumns);
    for (long frame = 0; frame < showFrames; ++frame) {
        if (frame > 0) {
            setVirtualTicks(static_cast<uint32_t>(frame * 1000 / 60));
            tickFrame();
        }
        uint8_t* out = &frames[static_cast<size_t>(frame) * consoleRows * consoleColumns];
        for (int i = 0; i < consoleRows * consoleColumns; ++i) out[i] = static_cast<uint8_t>(memoryConsoleState.cells[i].attribute);
    }
    fs::current_path(previous);
    if (!scratch.empty()) fs::remove_all(scratch);
}

void loadFrame(long frame, CellBuffer& cells) {
    const uint8_t* in = &frames[static_cast<size_t>(frame) * consoleRows * consoleColumns];
    for (int i = 0; i < consoleRows * consoleColumns; ++i) cells[i] = CharInfo{220, in[i]};
}

// ncurses writes to the file descriptor itself, so its output goes to a scratch file that
// is measured and emptied after every frame.
struct Curses {
    SCREEN* screen;
    std::FILE* output;
    std::FILE* input;
};

size_t takeCursesBytes(const Curses& curses) {
    std::fflush(curses.output);
    const int fd = fileno(curses.output);
    struct stat status;
    fstat(fd, &status);
    if (ftruncate(fd, 0) != 0) std::exit(1);
    lseek(fd, 0, SEEK_SET);
    return static_cast<size_t>(status.st_size);
}

Curses startCurses() {
    std::setlocale(LC_ALL, "C.UTF-8");
    setenv("LINES", "50", 1);
    setenv("COLUMNS", "80", 1);
    Curses curses;
    curses.output = std::tmpfile();
    curses.input = std::fopen("/dev/null", "r");
    curses.screen = newterm("xterm-256color", curses.output, curses.input);
    set_term(curses.screen);
    start_color();
    // Pair 1 + attribute: the console nibbles as ANSI colour numbers (red and blue swap).
    auto ansi = [](int nibble) { return ((nibble & 4) ? 1 : 0) | (nibble & 2) | ((nibble & 1) ? 4 : 0) | (nibble & 8); };
    for (int attribute = 0; attribute < 256; ++attribute) init_pair(static_cast<short>(1 + attribute), ansi(attribute & 15), ansi(attribute >> 4));
    takeCursesBytes(curses);
    return curses;
}

void drawCurses(const CellBuffer& cells) {
    static const wchar_t halfBlock[] = L"\u2584";
    for (int row = 0; row < consoleRows; ++row) {
        for (int column = 0; column < consoleColumns; ++column) {
            attr_set(A_NORMAL, static_cast<short>(1 + cells[row * consoleColumns + column].attribute), nullptr);
            mvaddwstr(row, column, halfBlock);
        }
    }
    refresh();
}

struct Series {
    const char* name;
    std::vector<size_t> bytes;
};

void printRow(const Series& series, size_t naiveTotal) {
    std::vector<size_t> sorted = series.bytes;
    std::sort(sorted.begin(), sorted.end());
    size_t total = 0;
    for (size_t b : sorted) total += b;
    std::printf("%-28s %8zu %8zu %8zu %12zu %9.3f\n", series.name, sorted[sorted.size() / 2],
                sorted[sorted.size() * 95 / 100], sorted.back(), total, double(total) / double(naiveTotal));
}

// The byte table over the whole show, in both colour modes.
void printByteTable() {
    static char bytes[maxUpdateBytes];
    static CellBuffer cells;
    Series naive{"full repaint, 16 colours", {}}, ours{"damage, 16 colours", {}}, oursSync{"damage, 16 colours, sync", {}},
        naiveTrue{"full repaint, 24-bit", {}}, oursTrue{"damage, 24-bit", {}}, curses{"ncurses, xterm-256color", {}};
    static TerminalScreen screen16, screenSync, screenTrue;
    resetScreen(screen16, consoleRows, consoleColumns);
    resetScreen(screenSync, consoleRows, consoleColumns);
    resetScreen(screenTrue, consoleRows, consoleColumns);
    const Curses session = startCurses();
    for (long frame = 0; frame < showFrames; ++frame) {
        loadFrame(frame, cells);
        naive.bytes.push_back(encodeFullRepaint(cells, ColorMode::ansi16, bytes));
        naiveTrue.bytes.push_back(encodeFullRepaint(cells, ColorMode::truecolor, bytes));
        ours.bytes.push_back(encodeUpdate(cells, UpdateOptions{ColorMode::ansi16, false}, screen16, bytes));
        oursSync.bytes.push_back(encodeUpdate(cells, UpdateOptions{ColorMode::ansi16, true}, screenSync, bytes));
        oursTrue.bytes.push_back(encodeUpdate(cells, UpdateOptions{ColorMode::truecolor, false}, screenTrue, bytes));
        drawCurses(cells);
        curses.bytes.push_back(takeCursesBytes(session));
    }
    endwin();
    delscreen(session.screen);
    std::printf("\nbytes per frame over %ld frames (260 s at 60 fps)\n", showFrames);
    std::printf("%-28s %8s %8s %8s %12s %9s\n", "encoder", "median", "p95", "max", "total", "vs full");
    size_t naiveTotal = 0, naiveTrueTotal = 0;
    for (size_t b : naive.bytes) naiveTotal += b;
    for (size_t b : naiveTrue.bytes) naiveTrueTotal += b;
    for (const Series* series : {&naive, &ours, &oursSync, &curses}) printRow(*series, naiveTotal);
    for (const Series* series : {&naiveTrue, &oursTrue}) printRow(*series, naiveTrueTotal);
    std::printf("\n");
    std::fflush(stdout);
}

bool prepared = [] {
    renderShow();
    printByteTable();
    return true;
}();

// Encoding time of the damage encoder, frame after frame through the show.
void damageEncode(benchmark::State& state) {
    static char bytes[maxUpdateBytes];
    static CellBuffer cells;
    static TerminalScreen screen;
    resetScreen(screen, consoleRows, consoleColumns);
    const UpdateOptions options{state.range(0) ? ColorMode::truecolor : ColorMode::ansi16, true};
    long frame = 0;
    size_t total = 0;
    for (auto _ : state) {
        loadFrame(frame, cells);
        total += encodeUpdate(cells, options, screen, bytes);
        frame = (frame + 1) % showFrames;
    }
    state.counters["bytes/frame"] = benchmark::Counter(double(total) / double(state.iterations()));
}
BENCHMARK(damageEncode)->Arg(0)->Arg(1)->ArgName("truecolor");

void fullRepaintEncode(benchmark::State& state) {
    static char bytes[maxFrameBytes];
    static CellBuffer cells;
    const ColorMode mode = state.range(0) ? ColorMode::truecolor : ColorMode::ansi16;
    long frame = 0;
    for (auto _ : state) {
        loadFrame(frame, cells);
        benchmark::DoNotOptimize(encodeFullRepaint(cells, mode, bytes));
        frame = (frame + 1) % showFrames;
    }
}
BENCHMARK(fullRepaintEncode)->Arg(0)->Arg(1)->ArgName("truecolor");

}  // namespace
