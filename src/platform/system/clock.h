// The clock and the frame pacing.
//
// `tickCount` is a monotonic millisecond counter that starts near 0 when the program
// starts; 64 bits, so it never wraps however long the show runs. A virtual clock (for
// capture and tests) replaces the system's count with a value the caller sets;
// `sleepMilliseconds` then returns at once. Holding the clock (the viewer's pause) stops
// `tickCount` until it is released; it then goes on from where it stopped. The time the
// program stood stopped (Ctrl-Z until it continues) is left out the same way, so the show
// goes on from where it was suspended.
#pragma once

#include <cstdint>

uint64_t tickCount();
void sleepMilliseconds(int32_t milliseconds);  // zero or negative: no sleep

void holdClock();     // does nothing when already held
void releaseClock();  // does nothing when not held

// Called by the terminal's Ctrl-Z handler just before the program stops and as soon as it
// continues; the time between is left out of `tickCount` (also when the clock is held
// meanwhile). Safe in a signal handler.
void noteProgramStopping();
void noteProgramContinued();

// Starts counting from `startMilliseconds` on the virtual clock, with no hold or stop.
void useVirtualClock(uint64_t startMilliseconds);
void setVirtualTicks(uint64_t milliseconds);
