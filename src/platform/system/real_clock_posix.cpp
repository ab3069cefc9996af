#include "platform/system/real_clock.h"

#include <chrono>
#include <thread>

namespace {
const auto programStart = std::chrono::steady_clock::now();
}

uint64_t realMilliseconds() {
    const auto elapsed = std::chrono::steady_clock::now() - programStart;
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void sleepRealMilliseconds(int32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
