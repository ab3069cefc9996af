#include "driver/capture_window.h"

#include <cmath>

uint64_t captureTicks(long frame, double framesPerSecond) {
    return static_cast<uint64_t>(std::floor(static_cast<double>(frame) * 1000.0 / framesPerSecond));
}

// The demo time tickFrame will compute for a tick count, with the music started at 0. The
// window is compared in that float: an option of 8.1 is the same float as the time of the
// frame at 8,100 ms, so that frame is inside, never lost to the double being a hair off.
static float demoTimeAt(uint64_t ticks) { return static_cast<float>(static_cast<double>(ticks) / 1000.0); }

long lastCaptureFrame(double to, double framesPerSecond) {
    long frame = 0;
    while (demoTimeAt(captureTicks(frame + 1, framesPerSecond)) <= static_cast<float>(to)) ++frame;
    return frame;
}

long firstCaptureFrame(double from, double framesPerSecond) {
    long frame = 0;
    while (demoTimeAt(captureTicks(frame, framesPerSecond)) < static_cast<float>(from)) ++frame;
    return frame;
}

long framesInWindow(double from, double to, double framesPerSecond) {
    return lastCaptureFrame(to, framesPerSecond) - firstCaptureFrame(from, framesPerSecond) + 1;
}
