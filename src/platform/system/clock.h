// The clock and the frame pacing.
//
// `tickCount` is a monotonic millisecond counter that starts near 0 when the program
// starts; 64 bits, so it never wraps however long the show runs. A virtual clock (for
// capture and tests) replaces it with a value the caller sets; `sleepMilliseconds` then
// returns at once. Holding the clock (the viewer's pause) stops `tickCount` until it is
// released; it then goes on from where it stopped.
#pragma once

#include <cstdint>

uint64_t tickCount();
void sleepMilliseconds(int32_t milliseconds);  // zero or negative: no sleep

void holdClock();     // does nothing when already held
void releaseClock();  // does nothing when not held

void useVirtualClock(uint64_t startMilliseconds);
void setVirtualTicks(uint64_t milliseconds);
