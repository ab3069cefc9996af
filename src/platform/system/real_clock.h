// The operating system's side of the clock: a monotonic millisecond count and a sleep.
//
// One file per system (real_clock_posix.cpp, real_clock_windows.cpp). The show reads the
// program's clock (clock.h), which can be virtual or held; the terminal's input and the
// pacing of frames read this one, since their waits are real whatever the show's clock does.
#pragma once

#include <cstdint>

// Milliseconds since the program started; never goes back.
uint64_t realMilliseconds();

// Sleeps for a positive number of milliseconds.
void sleepRealMilliseconds(int32_t milliseconds);
