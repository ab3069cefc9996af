// Which frames a capture computes and writes: the tick count each frame-loop pass sees, and
// the frames whose demo time lies in the --from..--to window.
//
// Called by the capture, and by the option checks, which refuse a window with no frame in
// it before anything runs. Plain arithmetic; it renders and writes nothing.
#pragma once

#include <cstdint>

// The tick count that frame-loop pass `frame` sees at `framesPerSecond`.
uint64_t captureTicks(long frame, double framesPerSecond);

// The last frame whose demo time is at most `to` seconds.
long lastCaptureFrame(double to, double framesPerSecond);

// The first frame whose demo time is at least `from` seconds.
long firstCaptureFrame(double from, double framesPerSecond);

// How many frames lie between `from` and `to`; 0 or less when none does.
long framesInWindow(double from, double to, double framesPerSecond);
