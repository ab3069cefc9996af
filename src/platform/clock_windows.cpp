#include "platform/clock.h"

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
bool virtualClock = false;
uint64_t virtualTicks = 0;
bool held = false;
uint64_t heldSince = 0;    // real milliseconds when the hold began
uint64_t heldInTotal = 0;  // real milliseconds of every finished hold

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

static uint64_t realMilliseconds() {
    const long long elapsed = counterNow().QuadPart - programStart.QuadPart;
    // Whole seconds and the remainder apart, so the product cannot overflow.
    const long long seconds = elapsed / frequency.QuadPart;
    const long long rest = elapsed % frequency.QuadPart;
    return static_cast<uint64_t>(seconds * 1000 + rest * 1000 / frequency.QuadPart);
}

uint64_t tickCount() {
    if (virtualClock) return virtualTicks;
    return (held ? heldSince : realMilliseconds()) - heldInTotal;
}

void holdClock() {
    if (held) return;
    heldSince = realMilliseconds();
    held = true;
}

void releaseClock() {
    if (!held) return;
    heldInTotal += realMilliseconds() - heldSince;
    held = false;
}

void sleepMilliseconds(int32_t milliseconds) {
    if (virtualClock || milliseconds <= 0) return;
    startFineTimer();
    Sleep(static_cast<DWORD>(milliseconds));
}

void useVirtualClock(uint64_t startMilliseconds) {
    virtualClock = true;
    virtualTicks = startMilliseconds;
}

void setVirtualTicks(uint64_t milliseconds) { virtualTicks = milliseconds; }
