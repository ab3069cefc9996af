// The program's clock over the system's: a virtual count for capture and tests, and the
// viewer's pause, which holds the count and later goes on from where it stopped.
#include "platform/system/clock.h"

#include "platform/system/real_clock.h"

namespace {

bool virtualClock = false;
uint64_t virtualTicks = 0;
bool held = false;
uint64_t heldSince = 0;    // real milliseconds when the hold began
uint64_t heldInTotal = 0;  // real milliseconds of every finished hold

}  // namespace

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
    sleepRealMilliseconds(milliseconds);
}

void useVirtualClock(uint64_t startMilliseconds) {
    virtualClock = true;
    virtualTicks = startMilliseconds;
}

void setVirtualTicks(uint64_t milliseconds) { virtualTicks = milliseconds; }
