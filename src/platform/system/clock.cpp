// The program's clock over the system's: a virtual count for capture and tests, and the
// viewer's pause and Ctrl-Z, which hold the count and later go on from where it stopped.
#include "platform/system/clock.h"

#include <atomic>

#include "platform/system/real_clock.h"

namespace {

bool virtualClock = false;
uint64_t virtualTicks = 0;
bool held = false;
uint64_t heldAt = 0;       // tickCount() when the hold began
uint64_t heldSince = 0;    // the system's count when the hold began
uint64_t stoppedAtHold = 0;  // stoppedInTotal when the hold began
uint64_t heldInTotal = 0;  // milliseconds of every finished hold, stops not counted twice

// Written by the Ctrl-Z handler, which may run on any thread.
std::atomic<uint64_t> stoppingAt{0};      // the system's count when the program stopped
std::atomic<uint64_t> stoppedInTotal{0};  // milliseconds the program stood stopped

uint64_t systemTicks() { return virtualClock ? virtualTicks : realMilliseconds(); }

}  // namespace

uint64_t tickCount() {
    if (held) return heldAt;
    return systemTicks() - heldInTotal - stoppedInTotal.load();
}

void holdClock() {
    if (held) return;
    heldAt = tickCount();
    heldSince = systemTicks();
    stoppedAtHold = stoppedInTotal.load();
    held = true;
}

void releaseClock() {
    if (!held) return;
    // A stop during the hold is already in stoppedInTotal: count the rest of the hold only.
    heldInTotal += (systemTicks() - heldSince) - (stoppedInTotal.load() - stoppedAtHold);
    held = false;
}

void noteProgramStopping() { stoppingAt.store(systemTicks()); }

void noteProgramContinued() { stoppedInTotal.fetch_add(systemTicks() - stoppingAt.load()); }

void sleepMilliseconds(int32_t milliseconds) {
    if (virtualClock || milliseconds <= 0) return;
    sleepRealMilliseconds(milliseconds);
}

void useVirtualClock(uint64_t startMilliseconds) {
    virtualClock = true;
    virtualTicks = startMilliseconds;
    held = false;
    heldInTotal = 0;
    stoppedInTotal.store(0);
}

void setVirtualTicks(uint64_t milliseconds) { virtualTicks = milliseconds; }
