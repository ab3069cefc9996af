// Capture: the show rendered without a terminal, frame-exact, to pictures.
//
// Start-up runs as usual on an off-screen console with no key wait and a virtual clock
// that reads 0 ms when the music starts. Pass n of the frame loop sees
// floor(n * 1000 / fps) ms; every frame is computed, and frame n is written as
// DIR/frame-NNNNNN.png when from <= demoTime <= to. DIR/frames.csv has a row for every
// computed frame; DIR/audio.wav holds the music of the written window. A video file gets
// the same frames and music through the video writer, with or without DIR.
#pragma once

#include <cstdint>
#include <string>

#include "driver/capture_window.h"
#include "driver/options.h"

// Runs the capture; returns the exit status.
int runCapture(const DemoOptions& options);
