#include "platform/interrupt.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t requested = 0;

void onInterrupt(int signalNumber) {
    requested = 1;
    std::signal(signalNumber, SIG_DFL);  // the next one ends the program
}

}  // namespace

void watchInterrupts() {
    requested = 0;
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
}

bool interruptRequested() { return requested != 0; }
