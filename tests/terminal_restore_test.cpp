// The terminal given back on every ending and on Ctrl-Z (retaken with a repaint); synchronized updates; no unchanged frame.
#include <cstdlib>
#include <sys/mman.h>
#include <tuple>

#include <gtest/gtest.h>

#include "harness.h"
#include "platform/terminal/console.h"
#include "platform/terminal/terminal_io.h"
#include "platform/terminal/terminal_sequences.h"

namespace {

using namespace harness;

// The bytes that take and give back the terminal, spelled out so that a wrong byte in the program's table fails.
const std::string takeOver = "\x1b[22;0t\x1b[?1049h\x1b[?2004h";
const std::string restoreAll = "\x1b[?2026l\x1b[0m\x1b[?7h\x1b[?25h\x1b[?2004l\x1b[?1049l\x1b[23;0t";
// Stand-ins for the palette the show sets and the one it puts back.
const std::string paletteSet = "<show's palette>", paletteUndo = "<user's palette>";
const std::string resumeAll = takeOver + "\x1b[?7l\x1b[?25l";  // and no autowrap, no cursor
const std::string halfBlock = "\xe2\x96\x84";
const std::string beginSync = "\x1b[?2026h", endSync = "\x1b[?2026l";

// A normal exit (-1) and every ending signal, a real crash (0) included: the terminal and its palette restored once,
// death by the signal.
TEST(TerminalRestore, EveryEndingLeavesTheTerminalRestoredOnce) {
    static int pending;
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGUSR1, SIGUSR2, SIGALRM, SIGXCPU, SIGXFSZ, SIGABRT, SIGSEGV,
                             SIGBUS, SIGFPE, 0, -1}) {
        pending = signalNumber;
        int status = 0;
        const std::string output = runChild(
            [] {
                takeOverTerminal();
                usePaletteForShow(paletteSet, paletteUndo);
                writeToTerminal(seq::hideCursor, sizeof seq::hideCursor - 1);
                if (pending < 0) exit(0);
                if (pending != 0) raise(pending);
                // 0: a real crash, not a raised signal: a write to a read-only page.
                void* page = mmap(nullptr, 4096, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
                *static_cast<volatile int*>(page) = 1;
            },
            status, 10);
        EXPECT_EQ(output, takeOver + paletteSet + "\x1b[?25l" + paletteUndo + restoreAll) << signalNumber;
        EXPECT_EQ(statusOf(status), signalNumber < 0 ? 0 : 128 + (signalNumber != 0 ? signalNumber : SIGSEGV)) << signalNumber;
    }
    int status = 0;
    EXPECT_EQ(runChild([] { restoreTerminal(); }, status), "") << "sent although nothing was taken";
}

TEST(TerminalRestore, AWriteThatFailsEndsTheProgramWithStatusOne) {
    int status = 0;
    runChild(
        [] {
            int ends[2];  // standard output on a pipe that nobody reads, so every write fails
            pipe(ends);
            close(ends[0]);
            dup2(ends[1], STDOUT_FILENO);
            close(STDERR_FILENO);
            takeOverTerminal();
            for (;;) writeToTerminal("frame", 5);
        },
        status);
    EXPECT_EQ(statusOf(status), 1);
}

int countOf(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++n;
    return n;
}

// What a child wrote before and after a stop: a frame of half blocks twice, the stop, twice more ("|" ends each).
std::pair<std::string, std::string> stopAndContinue(const char* syncSetting) {
    static const char* sync;
    sync = syncSetting;
    int reader = -1;
    const pid_t child = forkPiped(
        [] {
            setpgid(0, 0);  // a stop signal to an orphaned group would be discarded
            alarm(10);      // never outlive the test
            sync ? setenv("ZORBEL_SYNC", sync, 1) : unsetenv("ZORBEL_SYNC");
            static CellBuffer cells;
            takeOverTerminal();
            usePaletteForShow(paletteSet, paletteUndo);
            for (int i = 0; i < consoleRows * consoleColumns; ++i)
                cells[i] = CharInfo{halfBlockCharacter, static_cast<uint16_t>((i % 7 + 1) << 4 | (i % 5 + 8))};
            for (int write = 0; write < 4; ++write) {
                if (write == 2) raise(SIGTSTP);
                terminalConsole()->writeCells(cells);
                writeToTerminal("|", 1);
            }
        },
        false, reader);
    std::string beforeStop, afterContinue;
    int status = -1;
    if (waitFor(child, status, WUNTRACED) && WIFSTOPPED(status)) {
        readUntilClosed(reader, deadlineIn(0.2), beforeStop);  // all the stopped child wrote
        kill(child, SIGCONT);
    }
    readUntilClosed(reader, deadlineIn(10), afterContinue);
    waitFor(child, status);
    close(reader);
    EXPECT_EQ(statusOf(status), 0);
    return {beforeStop, afterContinue};
}

// A write's bytes in brief: whether it starts with `start`, its glyphs and its sync brackets.
std::tuple<bool, int, int, int> summary(const std::string& write, const std::string& start) {
    return {write.rfind(start, 0) == 0, countOf(write, halfBlock), countOf(write, beginSync), countOf(write, endSync)};
}

TEST(TerminalConsole, SynchronizedByDefaultSilentWhenUnchangedAndRepaintsAfterCtrlZ) {
    const struct { const char* sync; int brackets; } cases[] = {{nullptr, 1}, {"1", 1}, {"0", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sync ? c.sync : "unset");
        const auto [beforeStop, afterContinue] = stopAndContinue(c.sync);
        // Before the stop: a full frame, nothing for its repeat, the terminal given back; after: retaken, the frame whole.
        const size_t firstEnd = beforeStop.find('|'), thirdEnd = afterContinue.find('|');
        ASSERT_NE(firstEnd, std::string::npos);
        const auto whole = std::make_tuple(true, consoleRows * consoleColumns, c.brackets, c.brackets);
        EXPECT_EQ(summary(beforeStop.substr(0, firstEnd), takeOver), whole);
        EXPECT_EQ(beforeStop.substr(firstEnd), "||" + paletteUndo + restoreAll) << "not silent, or not given back";
        EXPECT_EQ(summary(afterContinue.substr(0, thirdEnd), resumeAll + paletteSet), whole) << "palette not set again";
        EXPECT_EQ(afterContinue.substr(thirdEnd), "||") << "the frame after the repaint was sent again";
    }
}

}  // namespace
