// Stopping on Windows: Ctrl-C, Ctrl-Break and closing the console arrive as console control
// events on a thread of their own, so there is no signal mask to hold.
#include "platform/system/signals.h"

#include <csignal>
#include <cstdlib>
#include <initializer_list>

#include <windows.h>

namespace {

volatile LONG stopEvent = -1;  // the control event that asked to stop, or -1
volatile LONG hurried = 0;

// The first event stops the capture between frames; a later one hurries the clean-up.
BOOL WINAPI onControlEvent(DWORD event) {
    if (InterlockedCompareExchange(&stopEvent, static_cast<LONG>(event), -1) != -1) InterlockedExchange(&hurried, 1);
    return TRUE;
}

}  // namespace

// The C runtime opens the standard streams itself; a console program always has them.
void openMissingStandardDescriptors() {}

void holdTerminatingSignals() {}
void releaseTerminatingSignals() {}

void catchStopRequests() { SetConsoleCtrlHandler(onControlEvent, TRUE); }

bool stopRequested() { return stopEvent != -1; }

bool stopHurried() { return hurried != 0; }

// The status a console program gets when Ctrl-C ends it.
void endByStopSignal() { ExitProcess(STATUS_CONTROL_C_EXIT); }

void forEachTerminatingSignal(void (*install)(int signalNumber)) {
    for (int signalNumber : {SIGINT, SIGTERM, SIGABRT, SIGSEGV, SIGFPE, SIGILL}) install(signalNumber);
}
