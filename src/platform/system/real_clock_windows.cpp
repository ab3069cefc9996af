#include "platform/system/real_clock.h"

#include <cstdlib>

#include <windows.h>
#include <timeapi.h>

namespace {

LARGE_INTEGER counterFrequency() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return frequency;
}

LARGE_INTEGER counterNow() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

const LARGE_INTEGER frequency = counterFrequency();
const LARGE_INTEGER programStart = counterNow();

void endFineTimer() { timeEndPeriod(1); }

// The default timer granularity (15.6 ms) cannot hold 60 frames a second: ask for 1 ms
// for the rest of the run.
void startFineTimer() {
    static bool started = false;
    if (started) return;
    started = true;
    if (timeBeginPeriod(1) == TIMERR_NOERROR) std::atexit(endFineTimer);
}

}  // namespace

uint64_t realMilliseconds() {
    const long long elapsed = counterNow().QuadPart - programStart.QuadPart;
    // Whole seconds and the remainder apart, so the product cannot overflow.
    const long long seconds = elapsed / frequency.QuadPart;
    const long long rest = elapsed % frequency.QuadPart;
    return static_cast<uint64_t>(seconds * 1000 + rest * 1000 / frequency.QuadPart);
}

void sleepRealMilliseconds(int32_t milliseconds) {
    startFineTimer();
    Sleep(static_cast<DWORD>(milliseconds));
}
