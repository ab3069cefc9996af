// The one way out: every ending of the program gives the terminal back as it was.
#include <csignal>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "child_wait.h"

#include "platform/terminal_io.h"
#include "platform/terminal_sequences.h"

namespace {

// The bytes a terminal needs, spelled out here rather than taken from the program's own
// table, so a wrong byte there fails: end any synchronized update, default colours,
// autowrap on, cursor shown, main screen.
const std::string takeOver = "\x1b[22;0t\x1b[?1049h";  // save the title, alternate screen
const std::string restoreAll = "\x1b[?2026l\x1b[0m\x1b[?7h\x1b[?25h\x1b[?1049l\x1b[23;0t";

// Runs `body` in a child whose standard output is a pipe; returns what it wrote and how it
// ended. With `readerGone` the pipe has no reader, so every write fails.
std::string runChild(void (*body)(), int& status, bool readerGone = false) {
    int pipeEnds[2];
    EXPECT_EQ(pipe(pipeEnds), 0);
    if (readerGone) close(pipeEnds[0]);
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        if (!readerGone) close(pipeEnds[0]);
        close(pipeEnds[1]);
        body();
        _exit(0);
    }
    close(pipeEnds[1]);
    std::string output;
    if (!readerGone) {
        output = child_wait::readUntilClosed(pipeEnds[0], child);
        close(pipeEnds[0]);
    }
    child_wait::waitFor(child, status);
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
        EXPECT_EQ(output.rfind(takeOver, 0), 0u);
        ASSERT_GE(output.size(), restoreAll.size());
        EXPECT_EQ(output.substr(output.size() - restoreAll.size()), restoreAll) << signalNumber;
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signalNumber) << signalNumber;
    }
}

TEST(TerminalRestore, NormalExitRestoresOnceAndNothingIsSentWhenNothingWasTaken) {
    int status = 0;
    std::string output = runChild([] { takeOverTerminal(); exit(0); }, status);
    EXPECT_EQ(output, takeOver + restoreAll);
    output = runChild([] { restoreTerminal(); }, status);
    EXPECT_EQ(output, "");
}

TEST(TerminalRestore, AWriteThatFailsEndsTheProgramWithStatusOne) {
    int status = 0;
    runChild(
        [] {
            close(STDERR_FILENO);
            takeOverTerminal();
            for (;;) writeToTerminal("frame", 5);
        },
        status, true);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
}

}  // namespace
