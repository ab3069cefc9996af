// The terminal under signals and job control: every ending signal restores it, a stopped
// output does not hold the way out, a background job leaves it alone, and a prompt
// interrupted by Ctrl-Z is asked again.
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <poll.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "fault_run.h"
#include "platform/terminal_io.h"
#include "platform/terminal_sequences.h"

namespace {

namespace fs = std::filesystem;
using fault_run::eventually;
using fault_run::Tmux;

// Runs `body` in a child whose standard output is a pipe, for at most ten seconds; returns
// what it wrote, and its status as in fault_run::statusOf (-1 when it had to be killed).
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
    for (;;) {
        pollfd readable{pipeEnds[0], POLLIN, 0};
        if (poll(&readable, 1, 10000) <= 0) break;
        const ssize_t n = read(pipeEnds[0], buffer, sizeof buffer);
        if (n <= 0) break;
        output.append(buffer, static_cast<size_t>(n));
    }
    close(pipeEnds[0]);
    int raw = 0;
    status = -1;
    for (int waited = 0; waited < 5000; ++waited, usleep(1000)) {  // a core dump takes a moment
        if (waitpid(child, &raw, WNOHANG) == child) {
            status = fault_run::statusOf(raw);
            return output;
        }
    }
    kill(child, SIGKILL);
    waitpid(child, &raw, 0);
    return output;
}

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

int pending;

TEST(FaultTerminal, EverySignalThatEndsTheProgramRestoresTheTerminal) {
    for (int signalNumber : {SIGUSR1, SIGUSR2, SIGALRM, SIGXCPU, SIGXFSZ, SIGABRT, SIGSEGV, SIGBUS, SIGFPE}) {
        pending = signalNumber;
        int status = 0;
        const std::string output = runChild(
            [] {
                takeOverTerminal();
                raise(pending);
            },
            status);
        EXPECT_TRUE(endsWith(output, seq::restoreAll)) << strsignal(signalNumber);
        EXPECT_EQ(status, 128 + signalNumber) << strsignal(signalNumber);
    }
    int status = 0;
    const std::string output = runChild(
        [] {
            takeOverTerminal();
            // A real crash, not a raised signal: a write to a read-only page.
            void* page = mmap(nullptr, 4096, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            *static_cast<volatile int*>(page) = 1;
        },
        status);
    EXPECT_TRUE(endsWith(output, seq::restoreAll)) << "write to a read-only page";
    EXPECT_EQ(status, 128 + SIGSEGV);
}

// zorbel in a tmux window, its process id in a file.
class ShowInTmux : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(fault_run::runCommand("tmux -V").status, 0) << "tmux is needed (the CI installs it)";
        ASSERT_TRUE(tmux.start());
    }
    void TearDown() override {
        const pid_t show = pid();
        if (show > 0) kill(show, SIGKILL);
        fs::remove(pidFile);
    }
    // The command line that starts the show in the repository folder.
    std::string command(const std::string& arguments) const {
        return "cd " ZORBEL_SOURCE_DIR " && LANG=C.UTF-8 sh -c \"echo \\$\\$ > " + pidFile.string() + "; exec " +
               fault_run::zorbel + " --no-audio " + arguments + "\"";
    }
    pid_t pid() const {
        pid_t value = -1;
        std::ifstream(pidFile) >> value;
        return value;
    }
    bool running() const { return pid() > 0 && kill(pid(), 0) == 0; }
    bool showsPrompt() const { return tmux.pane().find("Press any key") != std::string::npos; }

    Tmux tmux{"fault-terminal"};
    fs::path pidFile = fs::temp_directory_path() / ("zorbel-fault-terminal-" + std::to_string(::getpid()) + ".pid");
};

TEST_F(ShowInTmux, SignalsEndTheShowWhileOutputIsStoppedAndTheTerminalIsRestoredOnCtrlQ) {
    tmux.keys("'" + command("") + "' Enter");
    ASSERT_TRUE(eventually(10, [&] { return showsPrompt(); })) << tmux.pane();
    tmux.keys("x");
    ASSERT_TRUE(eventually(5, [&] { return tmux.modes() == "0 1\n"; }));
    tmux.keys("C-s");  // output stopped: the show soon blocks in a write
    sleep(1);
    const pid_t show = pid();
    kill(show, SIGTERM);
    usleep(100000);
    kill(show, SIGINT);  // a second signal while the first one restores
    EXPECT_TRUE(eventually(5, [&] { return !running(); })) << "SIGTERM did not end the show";
    tmux.keys("C-q");
    EXPECT_TRUE(eventually(3, [&] { return tmux.modes() == "1 0\n"; })) << tmux.modes();
}

TEST_F(ShowInTmux, ABackgroundShowWaitsForTheForeground) {
    tmux.keys("'" + command("") + " &' Enter");
    ASSERT_TRUE(eventually(5, [&] { return running(); }));
    sleep(2);
    EXPECT_EQ(tmux.modes(), "1 0\n") << "took the terminal in the background";
    EXPECT_FALSE(showsPrompt());
    tmux.keys("'fg' Enter");
    EXPECT_TRUE(eventually(5, [&] { return showsPrompt(); })) << tmux.pane();
    tmux.keys("x");
    EXPECT_TRUE(eventually(5, [&] { return tmux.modes() == "0 1\n"; }));

    tmux.keys("C-z");  // suspended, then continued in the background: the shell keeps the screen
    ASSERT_TRUE(eventually(5, [&] { return tmux.modes() == "1 0\n"; }));
    tmux.keys("'bg' Enter");
    sleep(2);
    EXPECT_EQ(tmux.modes(), "1 0\n") << "took the terminal back in the background";
    EXPECT_TRUE(running());
    tmux.keys("'fg' Enter");
    EXPECT_TRUE(eventually(5, [&] { return tmux.modes() == "0 1\n"; }));
    tmux.keys("C-c");
    EXPECT_TRUE(eventually(5, [&] { return tmux.modes() == "1 0\n"; }));
}

TEST_F(ShowInTmux, CtrlZAtTheKeyPromptAsksAgainOnContinuing) {
    tmux.keys("'" + command("") + "' Enter");
    ASSERT_TRUE(eventually(10, [&] { return showsPrompt(); })) << tmux.pane();
    tmux.keys("C-z");
    ASSERT_TRUE(eventually(5, [&] { return tmux.modes() == "1 0\n"; }));
    tmux.keys("clear Enter");
    ASSERT_TRUE(eventually(5, [&] { return !showsPrompt(); }));
    tmux.keys("'fg' Enter");
    EXPECT_TRUE(eventually(5, [&] { return showsPrompt(); })) << tmux.pane();
    tmux.keys("x");  // and the key is still taken
    EXPECT_TRUE(eventually(5, [&] { return tmux.modes() == "0 1\n" && !showsPrompt(); })) << tmux.pane();
}

}  // namespace
