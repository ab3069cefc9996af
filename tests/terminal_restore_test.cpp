// The one way out: every ending of the program gives the terminal back as it was.
#include <csignal>
#include <string>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "harness.h"
#include "platform/terminal/terminal_io.h"
#include "platform/terminal/terminal_sequences.h"

namespace {

using harness::runChild;

// The bytes a terminal needs, spelled out here rather than taken from the program's own
// table, so a wrong byte there fails: end any synchronized update, default colours,
// autowrap on, cursor shown, main screen.
const std::string takeOver = "\x1b[22;0t\x1b[?1049h";  // save the title, alternate screen
const std::string restoreAll = "\x1b[?2026l\x1b[0m\x1b[?7h\x1b[?25h\x1b[?1049l\x1b[23;0t";

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
        EXPECT_EQ(output.rfind(takeOver, 0), 0u);
        ASSERT_GE(output.size(), restoreAll.size());
        EXPECT_EQ(output.substr(output.size() - restoreAll.size()), restoreAll) << signalNumber;
        const int dying = signalNumber != 0 ? signalNumber : SIGSEGV;
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == dying) << signalNumber;
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
        status, 30, true);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
}

}  // namespace
