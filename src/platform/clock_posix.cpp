#include "platform/clock.h"

#include <chrono>
#include <thread>

namespace {

const auto programStart = std::chrono::steady_clock::now();
bool virtualClock = false;
uint32_t virtualTicks = 0;

}  // namespace

uint32_t tickCount() {
    if (virtualClock) return virtualTicks;
    const auto elapsed = std::chrono::steady_clock::now() - programStart;
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void sleepMilliseconds(int32_t milliseconds) {
    if (virtualClock || milliseconds <= 0) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void useVirtualClock(uint32_t startMilliseconds) {
    virtualClock = true;
    virtualTicks = startMilliseconds;
}

void setVirtualTicks(uint32_t milliseconds) { virtualTicks = milliseconds; }
