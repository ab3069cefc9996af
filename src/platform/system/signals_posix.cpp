#include "platform/system/signals.h"

#include <atomic>
#include <csignal>
#include <initializer_list>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int terminatingSignals[] = {
    SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF, SIGXCPU, SIGXFSZ,
    SIGPOLL, SIGPWR, SIGSYS, SIGTRAP, SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGSTKFLT,
};

sigset_t heldMask;
// Atomics, not sig_atomic_t: the writer threads may take a signal at the same time as the main thread.
std::atomic<int> stopSignal{0};
std::atomic<bool> hurried{false};

sigset_t terminatingSet() {
    sigset_t set;
    sigemptyset(&set);
    for (int signalNumber : terminatingSignals) sigaddset(&set, signalNumber);
    return set;
}

// The first request stops the capture between frames; a later one hurries the clean-up.
void onStopRequest(int signalNumber) {
    int none = 0;
    if (!stopSignal.compare_exchange_strong(none, signalNumber)) hurried = true;
}

}  // namespace

void openMissingStandardDescriptors() {
    for (int descriptor = 0; descriptor <= 2; ++descriptor) {
        if (fcntl(descriptor, F_GETFD) != -1) continue;
        // open() takes the lowest free number, which is this one.
        const int opened = open("/dev/null", descriptor == 0 ? O_RDONLY : O_WRONLY);
        if (opened != descriptor && opened >= 0) close(opened);
    }
}

void holdTerminatingSignals() {
    const sigset_t set = terminatingSet();
    pthread_sigmask(SIG_BLOCK, &set, &heldMask);
}

void releaseTerminatingSignals() { pthread_sigmask(SIG_SETMASK, &heldMask, nullptr); }

void catchStopRequests() {
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = onStopRequest;
    action.sa_flags = SA_RESTART;  // a write in progress finishes; the loop stops after it
    sigemptyset(&action.sa_mask);
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaction(signalNumber, &action, nullptr);
    std::signal(SIGXFSZ, SIG_IGN);
}

bool stopRequested() { return stopSignal != 0; }

bool stopHurried() { return hurried; }

void endByStopSignal() {
    const int signalNumber = stopSignal != 0 ? stopSignal.load() : SIGTERM;
    std::signal(signalNumber, SIG_DFL);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signalNumber);
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    std::raise(signalNumber);
    _exit(128 + signalNumber);
}

void forEachTerminatingSignal(void (*install)(int signalNumber)) {
    for (int signalNumber : terminatingSignals) install(signalNumber);
}
