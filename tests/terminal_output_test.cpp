// What reaches a real terminal: the frame's bytes through an emulator, and the way out.
#include <csignal>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/console_palette.h"
#include "platform/terminal_io.h"
#include "platform/terminal_sequences.h"
#include "platform/terminal_stream.h"
#include "vterm_screen.h"

namespace {

// Every attribute byte once, then a stripe pattern, so all 256 colour pairs appear.
void fillKnownFrame(CellBuffer& cells) {
    for (int i = 0; i < consoleRows * consoleColumns; ++i) {
        cells[i].character = 220;
        cells[i].attribute = static_cast<uint16_t>(i < 256 ? i : (i / 7) % 256);
    }
}

uint32_t paletteRgb(int nibble) {
    const PaletteColor& c = consolePalette[nibble];
    return (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b;
}

std::string encode(const CellBuffer& cells, ColorMode mode) {
    static char bytes[maxFrameBytes];
    return std::string(bytes, encodeFrame(cells, mode, bytes));
}

TEST(TerminalStream, TrueColorShowsEveryCellAsHalfBlockInThePaletteColours) {
    static CellBuffer cells;
    fillKnownFrame(cells);
    EmulatedTerminal terminal(consoleRows, consoleColumns);
    terminal.feed(encode(cells, ColorMode::truecolor));
    for (int row = 0; row < consoleRows; ++row) {
        for (int column = 0; column < consoleColumns; ++column) {
            const int attribute = cells[row * consoleColumns + column].attribute;
            const EmulatedCell cell = terminal.cell(row, column);
            ASSERT_EQ(cell.character, 0x2584u) << row << "," << column;
            ASSERT_EQ(terminal.rgb(cell.foreground), paletteRgb(attribute & 15)) << row << "," << column;
            ASSERT_EQ(terminal.rgb(cell.background), paletteRgb(attribute >> 4)) << row << "," << column;
        }
    }
}

TEST(TerminalStream, ColorModeComesFromColorterm) {
    EXPECT_EQ(colorModeFromEnvironment("truecolor"), ColorMode::truecolor);
    EXPECT_EQ(colorModeFromEnvironment("24bit"), ColorMode::truecolor);
    EXPECT_EQ(colorModeFromEnvironment("yes"), ColorMode::ansi16);
    EXPECT_EQ(colorModeFromEnvironment(nullptr), ColorMode::ansi16);
}

// Runs `body` in a child whose standard output is a pipe; returns what it wrote and how it ended.
std::string runChild(void (*body)(), int& status) {
    int pipeEnds[2];
    EXPECT_EQ(pipe(pipeEnds), 0);
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        body();
        _exit(0);
    }
    close(pipeEnds[1]);
    std::string output;
    char buffer[256];
    for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) output.append(buffer, n);
    close(pipeEnds[0]);
    waitpid(child, &status, 0);
    return output;
}

TEST(TerminalRestore, EachTerminatingSignalLeavesTheTerminalRestoredAndDiesOfIt) {
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        static int pending;
        pending = signalNumber;
        int status = 0;
        const std::string output = runChild(
            [] {
                takeOverTerminal();
                writeToTerminal(seq::hideCursor, sizeof seq::hideCursor - 1);
                raise(pending);
            },
            status);
        EXPECT_EQ(output.rfind(seq::enterAlternateScreen, 0), 0u);
        const std::string restore = seq::restoreAll;
        ASSERT_GE(output.size(), restore.size());
        EXPECT_EQ(output.substr(output.size() - restore.size()), restore) << signalNumber;
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signalNumber) << signalNumber;
    }
}

TEST(TerminalRestore, NormalExitRestoresOnceAndNothingIsSentWhenNothingWasTaken) {
    int status = 0;
    std::string output = runChild([] { takeOverTerminal(); exit(0); }, status);
    EXPECT_EQ(output, std::string(seq::enterAlternateScreen) + seq::restoreAll);
    output = runChild([] { restoreTerminal(); }, status);
    EXPECT_EQ(output, "");
}

TEST(TerminalRestore, AWriteThatFailsEndsTheProgramWithStatusOne) {
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        close(STDERR_FILENO);
        usleep(100000);  // the reader is gone by now
        takeOverTerminal();
        for (;;) writeToTerminal("frame", 5);
    }
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
}

}  // namespace
