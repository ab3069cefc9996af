// Start-up and the paced frame loop.
//
// Owns the clock (`startTime`, `demoTime`), the music level the scenes react to
// (`spectrum`, `bassLevel`) and the loaded data (`introPicture1..4`, `fontSheet`).
// `main` calls `runDemo`; each pass of the frame loop calls `tickFrame`.
#pragma once

#include <cstdint>

#include "display/display_config.h"
#include "effects/image.h"
#include "effects/text.h"

constexpr int spectrumSize = 512;
constexpr int bassBins = 50;

extern Picture introPicture1, introPicture2, introPicture3, introPicture4;
extern FontSheet fontSheet;

extern float spectrum[spectrumSize];
extern float bassLevel;  // sum of spectrum[0..49] read after the previous frame
extern float startTime;  // tick count in seconds when the music started
extern float demoTime;   // seconds since startTime, set once per frame

// The settings the demo runs with: 60 fps, 80 x 50 cells, the title, a hidden cursor.
DisplayConfig demoDisplayConfig();

// Milliseconds one frame is meant to last: 1000 / frameRate in whole numbers (16 at 60).
int32_t framePeriod();

// How long to sleep after a frame that ran from `before` to `after`; zero or less: none.
int32_t sleepAfterFrame(uint32_t before, uint32_t after);

// Start-up: loads the data, sets up the console around the key prompt (when
// `waitForViewer`), starts the music and the clock (`startSeconds` into the show) and
// shows the all-blue first frame. False when a data file is missing (the reason is
// printed; the terminal is untouched).
bool startDemo(bool waitForViewer, double startSeconds = 0);

// Runs tickFrame for ever, sleeping away what each frame did not use of its period.
[[noreturn]] void runFrameLoop();

// The whole program: options, start-up, then the frame loop (or a capture). Returns the
// exit status when it ends: after --help, a bad option, a failed start-up or a capture.
int runDemo(int argc, char** argv);

// One frame: clear to the time grey, advance the clock, run the timeline, present,
// read the spectrum.
void tickFrame();
