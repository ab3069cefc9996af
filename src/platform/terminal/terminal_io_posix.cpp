#include "platform/terminal/terminal_io.h"

#include <csignal>
#include <initializer_list>
#include <cstdlib>
#include <cstring>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include "platform/system/clock.h"
#include "platform/system/signals.h"
#include "platform/terminal/terminal_sequences.h"

namespace {

volatile sig_atomic_t terminalTaken = 0;
volatile sig_atomic_t inputModeSaved = 0;
volatile sig_atomic_t resizeNoticed = 0;
volatile sig_atomic_t screenLost = 0;
// Set when the program continued after Ctrl-Z: what to take back, once in the foreground.
volatile sig_atomic_t resumePending = 0;
volatile sig_atomic_t resumeTaken = 0;
volatile sig_atomic_t resumeRaw = 0;

// The terminating signals, and SIGTTOU: held while the terminal is restored.
sigset_t exitMask;
void addToExitMask(int signalNumber) { sigaddset(&exitMask, signalNumber); }
bool fillExitMask() {
    sigemptyset(&exitMask);
    forEachTerminatingSignal(addToExitMask);
    sigaddset(&exitMask, SIGTTOU);
    return true;
}
const bool exitMaskFilled = fillExitMask();
// The palette for the show and the one to put back (usePaletteForShow); empty when unused.
char paletteSet[maxPaletteBytes];
size_t paletteSetLength = 0;
char paletteRestore[maxPaletteBytes];
volatile sig_atomic_t paletteRestoreLength = 0;
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

// Only the terminal's foreground process group may draw on it; standard output that is no
// terminal has no foreground to wait for.
bool inForeground() {
    const pid_t owner = tcgetpgrp(STDOUT_FILENO);
    return owner < 0 || owner == getpgrp();
}

// In the background (started with &, or continued with bg) the terminal belongs to the
// shell: wait, without touching it, until the program is brought to the foreground.
void waitForForeground() {
    while (!inForeground()) usleep(50000);
}

// The way out waits for the terminal for at most about half a second: a terminal whose
// output is stopped (Ctrl-S) or not read must not hold the program. What is left is handed
// to a child process that waits in its place, so the terminal is still restored when the
// viewer restarts the output (Ctrl-Q).
void writeBounded(const char* bytes, size_t count) {
    const int flags = fcntl(STDOUT_FILENO, F_GETFL);
    const bool madeNonBlocking = flags >= 0 && (flags & O_NONBLOCK) == 0 &&
                                 fcntl(STDOUT_FILENO, F_SETFL, flags | O_NONBLOCK) == 0;
    for (int waits = 0; count > 0;) {
        const ssize_t written = ::write(STDOUT_FILENO, bytes, count);
        if (written >= 0) {
            bytes += written;
            count -= static_cast<size_t>(written);
            continue;
        }
        if (errno == EINTR) continue;
        if ((errno != EAGAIN && errno != EWOULDBLOCK) || ++waits > 50) break;
        pollfd output{STDOUT_FILENO, POLLOUT, 0};
        poll(&output, 1, 10);
    }
    const bool stalled = count > 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    if (madeNonBlocking) fcntl(STDOUT_FILENO, F_SETFL, flags);
    if (stalled && fork() == 0) {
        writeFully(bytes, count);
        _exit(0);
    }
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
// The clock holds while stopped, so the show goes on from where it was.
void onSuspend(int) {
    const int savedErrno = errno;
    if (!resumePending) {
        resumeTaken = terminalTaken;
        resumeRaw = inputModeSaved;
    }
    restoreTerminal();

    std::signal(SIGTSTP, SIG_DFL);
    sigset_t suspend;
    sigemptyset(&suspend);
    sigaddset(&suspend, SIGTSTP);
    sigprocmask(SIG_UNBLOCK, &suspend, nullptr);
    noteProgramStopping();  // the show's clock leaves out the time stopped
    std::raise(SIGTSTP);    // stops here until SIGCONT
    noteProgramContinued();
    installSuspendHandler();
    // Continued, perhaps in the background (bg): the main thread takes the terminal back
    // once it is in the foreground (resumeAfterSuspend).
    resumePending = 1;
    errno = savedErrno;
}

void installSuspendHandler() {
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = onSuspend;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTSTP, &action, nullptr);
}

struct sigaction exitAction;

void installExitHandler(int signalNumber) { sigaction(signalNumber, &exitAction, nullptr); }

void installExitHandlers() {
    // Every signal whose default action ends the process restores first, crashes too (the
    // handler only writes and sets the input mode, both safe there). While one restores,
    // the others wait, so a second signal cannot cut the restore short.
    std::memset(&exitAction, 0, sizeof exitAction);
    exitAction.sa_handler = onTerminatingSignal;
    exitAction.sa_mask = exitMask;
    forEachTerminatingSignal(installExitHandler);
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

bool resumeAfterSuspend() {
    if (!resumePending) return false;
    waitForForeground();
    resumePending = 0;
    if (resumeRaw) {
        inputModeSaved = 1;
        tcsetattr(STDIN_FILENO, TCSANOW, &rawInputMode);
    }
    if (resumeTaken) {
        terminalTaken = 1;
        writeFully(seq::resumeAll, sizeof seq::resumeAll - 1);
        writeFully(paletteSet, paletteSetLength);
        screenLost = 1;
    }
    return true;
}

void takeOverTerminal() {
    resumeAfterSuspend();
    if (terminalTaken) return;
    static bool handlersInstalled = false;
    if (!handlersInstalled) installExitHandlers();
    handlersInstalled = true;
    waitForForeground();
    terminalTaken = 1;
    writeToTerminal(seq::takeOver, sizeof seq::takeOver - 1);
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
    resumeAfterSuspend();
    waitForForeground();
    if (writeFully(bytes, count)) return;
    restoreTerminal();
    static const char message[] = "zorbel: cannot write to the terminal\n";
    (void)!::write(STDERR_FILENO, message, sizeof message - 1);
    _exit(1);
}

void usePaletteForShow(const std::string& set, const std::string& restore) {
    if (set.size() > maxPaletteBytes || restore.size() > maxPaletteBytes) return;
    std::memcpy(paletteRestore, restore.data(), restore.size());
    paletteRestoreLength = static_cast<sig_atomic_t>(restore.size());
    std::memcpy(paletteSet, set.data(), set.size());
    paletteSetLength = set.size();
    writeToTerminal(paletteSet, paletteSetLength);
}

bool enterRawInput() {
    if (inputModeSaved) return true;
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
    tcflush(STDIN_FILENO, TCIFLUSH);
    tcsetattr(STDIN_FILENO, TCSANOW, &savedInputMode);
    inputModeSaved = 0;
}

void restoreTerminal() {
    // No signal may cut the restore short; SIGTTOU is held too, so that setting the input
    // mode back from the background cannot stop the program on its way out.
    sigset_t previous;
    pthread_sigmask(SIG_BLOCK, &exitMask, &previous);
    restoreInputMode();
    if (terminalTaken) {
        terminalTaken = 0;
        // In the background the terminal is the shell's, and was given back when stopping.
        if (inForeground()) {
            writeBounded(paletteRestore, static_cast<size_t>(paletteRestoreLength));
            writeBounded(seq::restoreAll, sizeof seq::restoreAll - 1);
        }
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}
