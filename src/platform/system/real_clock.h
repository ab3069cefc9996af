// The operating system's side of the clock: a monotonic millisecond count and a sleep.
//
// One file per system (real_clock_posix.cpp, real_clock_windows.cpp). Only clock.cpp calls
// these; everything else reads the program's clock, which can be virtual or held.
#pragma once

#include <cstdint>

// Milliseconds since the program started; never goes back.
uint64_t realMilliseconds();

// Sleeps for a positive number of milliseconds.
void sleepRealMilliseconds(int32_t milliseconds);
