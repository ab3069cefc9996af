// What the demo sees of the music: renders a module with libopenmpt at 48 kHz and, once
// per 60 Hz frame, sums the low 50 bins of a 512-bin spectrum of the right channel.
//
// The spectrum is the demo's own (platform/audio/spectrum.h): the 1024 most recent samples, a
// triangle window, a full-scale sine at a bin centre reading 1.0. Used by the tests and by
// `zorbel-data --bass-report`.
#pragma once

#include <cstdint>
#include <vector>

#include "driver/frame_state.h"
#include "platform/audio/spectrum.h"

constexpr int bassSampleRate = 48000;
constexpr int bassWindow = spectrumWindowSize;

// Sum of bins 0..49 for a window of bassWindow samples.
float bassLevelOf(const float* samples);

struct BassTrace {
    double frameSeconds = 1.0 / 60.0;
    std::vector<float> levels;  // one per frame, from the first full window on
    float peakSample = 0.0f;    // largest |sample| of either channel
    double rms = 0.0;           // of the right channel
};

// Renders `seconds` of the module (looping) starting at `startSeconds`. Throws on a load failure.
BassTrace measureBass(const std::vector<uint8_t>& module, double startSeconds, double seconds);
