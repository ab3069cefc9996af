// The values every scene of a frame reads: the show's clock and the music's bass level.
//
// Owns `startTime`, `demoTime` and `bassLevel`. The frame loop sets them once per frame
// (the clock before the scenes draw, the bass level after the frame is presented); the
// timeline, the effects and the rotation by time only read them.
#pragma once

// The bass level sums the spectrum's lowest bins: 0 to 2.3 kHz at 48 kHz and 1024 samples.
constexpr int bassBins = 50;

extern float startTime;  // tick count in seconds when the music started
extern float demoTime;   // seconds since startTime, set once per frame
extern float bassLevel;  // sum of the lowest bassBins spectrum values after the previous frame
