// Start-up and the paced frame loop.
//
// Owns the order of start-up (data, music, console, key prompt, clock, first frame) and
// of one frame (`tickFrame`). The program's entry calls `startDemo` and `runFrameLoop`;
// capture calls `startDemo` and `tickFrame` on its own virtual clock; the web page, which
// has no key prompt or loop of ours, calls the three start-up steps and `tickFrame`
// (browser_show.h). The per-frame values the scenes read live in frame_state.h.
// demo.cpp holds the terminal's parts, show_frame.cpp what every front end shares.
#pragma once

#include <cstdint>
#include <string>

#include "display/display_config.h"
#include "platform/terminal/terminal_colors.h"

// The settings the demo runs with: 60 fps, 80 x 50 cells, the title, a hidden cursor.
DisplayConfig demoDisplayConfig();

// Milliseconds one frame is meant to last: 1000 / frameRate in whole numbers (16 at 60).
int32_t framePeriod();

// How long to sleep after a frame that ran from `before` to `after`; zero or less: none.
int32_t sleepAfterFrame(uint64_t before, uint64_t after);

// The line under the key prompt that says which keys do what (under 80 columns).
extern const char promptKeysNote[];

// The warning for a live show without a sound device; `problem` says why (soundDeviceProblem).
std::string soundDeviceNotice(const std::string& problem);

// Start-up: loads the data, sets up the console around the key prompt (when
// `waitForViewer`), starts the music and the clock (`startSeconds` into the show) and
// shows the all-blue first frame. Warnings (music, sound device, locale) go to standard
// error before the terminal is taken over, and the prompt shows them again under the keys;
// the terminal's colours are chosen then, from `colors`. q or Esc at the prompt ends the
// program with status 0. False when a data file is missing (the reason is printed; the
// terminal is untouched).
bool startDemo(bool waitForViewer, double startSeconds = 0, ColorChoice colors = ColorChoice::automatic);

// The start-up steps startDemo runs around its key prompt. `loadShow` reads the data and
// the music (false when data is missing; `musicWarning` says why the show will be silent,
// or is ""); `setUpShowDisplay` resets the drawing state and sets up the console;
// `beginShow` starts the music and the clock `startSeconds` into the show and shows the
// all-blue first frame.
bool loadShow(std::string& musicWarning);
void setUpShowDisplay();
void beginShow(double startSeconds);

// The words the key prompt starts with, before the console's own.
extern const char promptLead[];

// The viewer's pause: holds the show's clock and the music where they are, or lets both go on.
void holdShow(bool held);

// Runs tickFrame for ever, sleeping away what each frame did not use of its period, and
// reads the viewer's keys before each frame (viewer_keys.h).
[[noreturn]] void runFrameLoop();

// One frame: clear to the time grey, advance the clock, run the timeline, present,
// read the spectrum.
void tickFrame();
