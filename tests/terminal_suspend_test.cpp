// Ctrl-Z: the shell gets a normal terminal while the demo is stopped, and the demo takes
// the terminal back, repainting everything, when it continues.
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "harness.h"

#include "platform/terminal/terminal_io.h"
#include "platform/terminal/terminal_sequences.h"

namespace {

// Spelled out rather than taken from the program's table, so a wrong byte there fails.
const std::string takeOver = "\x1b[22;0t\x1b[?1049h";  // save the title, alternate screen
const std::string restoreAll = "\x1b[?2026l\x1b[0m\x1b[?7h\x1b[?25h\x1b[?1049l\x1b[23;0t";
const std::string resumeAll = "\x1b[22;0t\x1b[?1049h\x1b[?7l\x1b[?25l";  // title saved, alternate screen, no autowrap, no cursor

std::string readAvailable(int fd) {
    std::string output;
    char buffer[256];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) output.append(buffer, n);
    return output;
}

TEST(TerminalSuspend, StoppingGivesTheTerminalBackAndContinuingTakesItAgain) {
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const pid_t child = fork();
    if (child == 0) {
        // A group of its own, whose parent is in another group of the session: a stop
        // signal sent to an orphaned group (as in a job-less CI shell) would be discarded.
        setpgid(0, 0);
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        takeOverTerminal();
        writeToTerminal("A", 1);
        raise(SIGTSTP);
        writeToTerminal("B", 1);
        if (takeScreenLostNotice() && !takeScreenLostNotice()) writeToTerminal("lost", 4);
        exit(0);
    }
    close(pipeEnds[1]);
    int status = 0;
    ASSERT_TRUE(harness::waitFor(child, status, WUNTRACED));
    ASSERT_TRUE(WIFSTOPPED(status));
    fcntl(pipeEnds[0], F_SETFL, O_NONBLOCK);
    EXPECT_EQ(readAvailable(pipeEnds[0]), takeOver + "A" + restoreAll);

    kill(child, SIGCONT);
    ASSERT_TRUE(harness::waitFor(child, status));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(readAvailable(pipeEnds[0]), resumeAll + "B" + "lost" + restoreAll);
    close(pipeEnds[0]);
}

}  // namespace
