// The damage encoder against a real emulator: whatever it leaves out, the screen still looks like the frame.
#include <tuple>

#include <gtest/gtest.h>

#include "driver/data_files.h"
#include "driver/demo.h"
#include "driver/frame_state.h"
#include "harness.h"
#include "platform/audio/audio.h"
#include "platform/system/clock.h"
#include "platform/terminal/memory_console.h"
#include "vterm_screen.h"

namespace {

using namespace harness;

std::string update(const CellBuffer& cells, TerminalScreen& screen, ColorMode mode) {
    static char bytes[maxUpdateBytes];
    return std::string(bytes, encodeUpdate(cells, UpdateOptions{mode, false}, screen, bytes));
}

TEST(TerminalDiff, SendsOnlyWhatChangedAndNothingForAResizeToTheSameSize) {
    static TerminalScreen screen;
    resetScreen(screen, consoleRows, consoleColumns);
    static CellBuffer cells;
    for (CharInfo& cell : cells) cell = CharInfo{220, 0x1E};
    update(cells, screen, ColorMode::ansi16);  // (the brackets of a synchronized update: terminal_restore_test)

    // One cell's foreground: a move, the foreground alone, the glyph.
    cells[5 * consoleColumns + 7].attribute = 0x1C;
    EXPECT_EQ(update(cells, screen, ColorMode::ansi16), "\x1b[6;8H\x1b[91m\xe2\x96\x84");
    // The next cell's background alone; the cursor is already there.
    cells[5 * consoleColumns + 8].attribute = 0x2C;
    EXPECT_EQ(update(cells, screen, ColorMode::ansi16), "\x1b[42m\xe2\x96\x84");
    // A short gap between changes is reprinted, cheaper than a move; a one-colour cell is a space.
    for (int column = 20; column < 30; ++column) cells[column] = CharInfo{220, 0x11};
    EXPECT_EQ(update(cells, screen, ColorMode::ansi16), "\x1b[1;21H\x1b[44m          ");
    cells[20].attribute = cells[23].attribute = 0x14;
    EXPECT_EQ(update(cells, screen, ColorMode::ansi16), "\x1b[1;21H\x1b[31m\xe2\x96\x84  \xe2\x96\x84");

    // The same size keeps the screen (a new size: the show below; a forgotten screen: terminal_restore_test).
    resizeScreen(screen, consoleRows, consoleColumns);
    EXPECT_EQ(update(cells, screen, ColorMode::ansi16), "");
}

// Where the picture sits: centred in a larger window, one row short for the hint when either side is too small.
TEST(TerminalDiff, ThePictureIsCentredAndAWindowTooSmallEitherWayGetsTheHint) {
    const struct { int rows, columns, top, left, shownRows, shownColumns; bool hint; } cases[] = {
        {50, 80, 0, 0, 50, 80, false}, {61, 100, 5, 10, 50, 80, false}, {49, 81, 0, 0, 48, 80, true},
        {60, 79, 4, 0, 50, 79, true},  {30, 60, 0, 0, 29, 60, true},
    };
    for (const auto& c : cases) {
        const PictureLayout layout = layoutFor(c.rows, c.columns);
        EXPECT_EQ(std::tuple(layout.top, layout.left, layout.rows, layout.columns, layout.hint),
                  std::tuple(c.top, c.left, c.shownRows, c.shownColumns, c.hint)) << c.rows << " x " << c.columns;
    }
}

// The whole show on the virtual clock, with resizes, through the encoder into the emulator, checked frame by frame.
class TerminalDiffShow : public ::testing::TestWithParam<ColorMode> {};

TEST_P(TerminalDiffShow, TheEmulatedScreenEqualsEveryFrame) {
    // The last picture (also the swaying one) in noise, so neighbouring cells differ in every way.
    const fs::path folder = makeScratch("terminal-diff");
    std::vector<uint8_t> noise(24000);
    uint32_t seed = 7;
    for (uint8_t& byte : noise) byte = static_cast<uint8_t>((seed = seed * 1664525u + 1013904223u) >> 24);
    writeFile(folder / "Data/intro4.raw", noise);
    chooseDataFolder((folder / "Data").string());
    const ColorMode mode = GetParam();
    const int stride = mode == ColorMode::ansi16 ? 1 : 5;
    memoryConsoleState = MemoryConsoleState{};
    selectConsole(memoryConsole());
    useVirtualClock(0);
    setMusicMode(MusicMode::off);
    ASSERT_TRUE(startDemo(false));

    const struct { long frame; int rows, columns; } resizes[] = {
        {2000, 60, 100}, {4000, 30, 60}, {6000, 50, 80}, {9000, 49, 81}, {9001, 50, 80}, {12000, 50, 85}, {12500, 50, 80},
    };
    int rows = consoleRows, columns = consoleColumns;  // the emulated terminal's size, held apart from the encoder's
    static TerminalScreen screen;
    resetScreen(screen, consoleRows, consoleColumns);
    EmulatedTerminal terminal(consoleRows, consoleColumns);
    for (long frame = 0; frame <= 260 * 60; frame += stride) {
        for (const auto& resize : resizes) {
            if (frame - stride >= resize.frame || resize.frame > frame) continue;
            std::tie(rows, columns) = std::tuple(resize.rows, resize.columns);
            resizeScreen(screen, rows, columns);
            terminal.resize(rows, columns);
        }
        if (frame > 0) {
            setVirtualTicks(static_cast<uint32_t>(frame * 1000 / 60));
            tickFrame();
        }
        terminal.feed(update(memoryConsoleState.cells, screen, mode));
        const auto look = [](int row, int column) { return cellLook(memoryConsoleState.cells[row * consoleColumns + column]); };
        ASSERT_EQ(layoutMismatches(terminal, layoutFor(rows, columns), rows, columns, look), 0)
            << "frame " << frame << " at " << demoTime << " s";
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, TerminalDiffShow, ::testing::Values(ColorMode::ansi16, ColorMode::truecolor),
                         [](const auto& info) { return info.param == ColorMode::ansi16 ? "Ansi16" : "TrueColor"; });

}  // namespace
