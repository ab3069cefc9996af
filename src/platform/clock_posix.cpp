#include "platform/clock.h"

#include <chrono>
#include <thread>

namespace {

const auto programStart = std::chrono::steady_clock::now();
bool virtualClock = false;
uint64_t virtualTicks = 0;
bool held = false;
uint64_t heldSince = 0;     // real milliseconds when the hold began
uint64_t heldInTotal = 0;   // real milliseconds of every finished hold

uint64_t realMilliseconds() {
    const auto elapsed = std::chrono::steady_clock::now() - programStart;
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

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
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void useVirtualClock(uint64_t startMilliseconds) {
    virtualClock = true;
    virtualTicks = startMilliseconds;
}

void setVirtualTicks(uint64_t milliseconds) { virtualTicks = milliseconds; }
