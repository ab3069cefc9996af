#include "platform/terminal_io.h"

#include <csignal>
#include <initializer_list>
#include <cstdlib>
#include <cstring>
#include <cerrno>
#include <termios.h>
#include <unistd.h>

#include "platform/terminal_sequences.h"

namespace {

volatile sig_atomic_t terminalTaken = 0;
volatile sig_atomic_t inputModeSaved = 0;
volatile sig_atomic_t resizeNoticed = 0;
volatile sig_atomic_t screenLost = 0;
struct termios savedInputMode;
struct termios rawInputMode;

// Returns false when the bytes could not all be written.
bool writeFully(const char* bytes, size_t count) {
    while (count > 0) {
        const ssize_t written = ::write(STDOUT_FILENO, bytes, count);
        if (written < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                // Standard output was left non-blocking by someone else: wait until it drains.
                usleep(1000);
                continue;
            }
            return false;
        }
        bytes += written;
        count -= static_cast<size_t>(written);
    }
    return true;
}

void onTerminatingSignal(int signalNumber) {
    restoreTerminal();
    // Die of the same signal, so the shell sees how the program ended.
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

void onResize(int) { resizeNoticed = 1; }

void installSuspendHandler();

// Ctrl-Z: give the shell a normal terminal while stopped, take it back on continuing, and
// have the next frame repaint everything, since the shell drew over the screen meanwhile.
void onSuspend(int) {
    const int savedErrno = errno;
    const bool wasTaken = terminalTaken;
    const bool wasRaw = inputModeSaved;
    restoreTerminal();

    std::signal(SIGTSTP, SIG_DFL);
    sigset_t suspend;
    sigemptyset(&suspend);
    sigaddset(&suspend, SIGTSTP);
    sigprocmask(SIG_UNBLOCK, &suspend, nullptr);
    std::raise(SIGTSTP);  // stops here until SIGCONT
    installSuspendHandler();

    if (wasRaw) {
        inputModeSaved = 1;
        tcsetattr(STDIN_FILENO, TCSANOW, &rawInputMode);
    }
    if (wasTaken) {
        terminalTaken = 1;
        writeFully(seq::resumeAll, sizeof seq::resumeAll - 1);
        screenLost = 1;
    }
    errno = savedErrno;
}

void installSuspendHandler() {
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = onSuspend;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTSTP, &action, nullptr);
}

void installExitHandlers() {
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = onTerminatingSignal;
    sigemptyset(&action.sa_mask);
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaction(signalNumber, &action, nullptr);
    // A closed terminal must show up as a failed write, not kill the program unrestored.
    std::signal(SIGPIPE, SIG_IGN);
    // SA_RESTART: a resize in the middle of a write or a sleep must not fail it.
    struct sigaction resize;
    std::memset(&resize, 0, sizeof resize);
    resize.sa_handler = onResize;
    resize.sa_flags = SA_RESTART;
    sigemptyset(&resize.sa_mask);
    sigaction(SIGWINCH, &resize, nullptr);
    installSuspendHandler();
    std::atexit(restoreTerminal);
}

}  // namespace

void takeOverTerminal() {
    if (terminalTaken) return;
    installExitHandlers();
    terminalTaken = 1;
    writeToTerminal(seq::enterAlternateScreen, sizeof seq::enterAlternateScreen - 1);
}

bool takeScreenLostNotice() {
    if (!screenLost) return false;
    screenLost = 0;
    return true;
}

bool takeResizeNotice() {
    if (!resizeNoticed) return false;
    resizeNoticed = 0;
    return true;
}

void writeToTerminal(const char* bytes, size_t count) {
    if (writeFully(bytes, count)) return;
    restoreTerminal();
    static const char message[] = "zorbel: cannot write to the terminal\n";
    (void)!::write(STDERR_FILENO, message, sizeof message - 1);
    _exit(1);
}

bool enterRawInput() {
    struct termios mode;
    if (tcgetattr(STDIN_FILENO, &mode) != 0) return false;
    savedInputMode = mode;
    inputModeSaved = 1;
    mode.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    mode.c_cc[VMIN] = 1;
    mode.c_cc[VTIME] = 0;
    rawInputMode = mode;
    return tcsetattr(STDIN_FILENO, TCSANOW, &mode) == 0;
}

void restoreInputMode() {
    if (!inputModeSaved) return;
    tcsetattr(STDIN_FILENO, TCSANOW, &savedInputMode);
    inputModeSaved = 0;
}

void restoreTerminal() {
    restoreInputMode();
    if (!terminalTaken) return;
    terminalTaken = 0;
    writeFully(seq::restoreAll, sizeof seq::restoreAll - 1);
}
