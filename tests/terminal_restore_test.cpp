// The one way out: every ending of the program gives the terminal back as it was.
#include <csignal>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "harness.h"
#include "platform/terminal/terminal_io.h"
#include "platform/terminal/terminal_sequences.h"

namespace {

using namespace harness;

// Every signal that ends the program, a real crash included, leaves the terminal
// restored and the program dying of it.
TEST(TerminalRestore, EachTerminatingSignalLeavesTheTerminalRestoredAndDiesOfIt) {
    static int pending;
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGUSR1, SIGUSR2, SIGALRM, SIGXCPU, SIGXFSZ, SIGABRT, SIGSEGV,
                             SIGBUS, SIGFPE, 0}) {
        pending = signalNumber;
        int status = 0;
        const std::string output = runChild(
            [] {
                takeOverTerminal();
                writeToTerminal(seq::hideCursor, sizeof seq::hideCursor - 1);
                if (pending != 0) raise(pending);
                // 0: a real crash, not a raised signal: a write to a read-only page.
                void* page = mmap(nullptr, 4096, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
                *static_cast<volatile int*>(page) = 1;
            },
            status, 10);
        EXPECT_EQ(output, takeOver + "\x1b[?25l" + restoreAll) << signalNumber;
        EXPECT_EQ(statusOf(status), 128 + (signalNumber != 0 ? signalNumber : SIGSEGV)) << signalNumber;
    }
}

TEST(TerminalRestore, NormalExitRestoresOnceAndNothingIsSentWhenNothingWasTaken) {
    int status = 0;
    EXPECT_EQ(runChild([] { takeOverTerminal(); exit(0); }, status), takeOver + restoreAll);
    EXPECT_EQ(runChild([] { restoreTerminal(); }, status), "");
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

}  // namespace
