// The command line. Without arguments the demo runs as it always has; the options are for
// viewers who want a scene or another data folder, and for demo authors who capture the
// show to pictures.
//
// Called by runDemo before anything is shown. Every bad value, and every option that has
// no effect in the chosen mode, stops the program with one line and status 2.
#pragma once

#include <string>

#include "platform/terminal/terminal_colors.h"

struct DemoOptions {
    std::string captureFolder;  // empty: play in the terminal
    double framesPerSecond = 60;
    double from = 0;     // capture window, seconds of demo time
    double to = 260;
    int scale = 1;       // captured picture pixels per grid cell, each way
    bool noAudio = false;
    double start = 0;    // seconds into the show to start at
    std::string dataFolder;  // empty: ZORBEL_DATA or the default places
    bool force = false;  // play without a terminal; capture over an earlier capture
    std::string videoFile;  // .mp4, .mkv or .webm; empty: no video
    bool lossless = false;  // video frames that decode to exactly the captured pictures
    ColorChoice colors = ColorChoice::automatic;  // how colours reach the terminal
};

// The limits the checks enforce. The show lasts 260 seconds (white after that); frame
// numbers have six digits, which the highest rate keeps up to 999 seconds.
constexpr double showSeconds = 260;
constexpr double maxCaptureSeconds = 999;
constexpr double minFramesPerSecond = 1;
constexpr double maxFramesPerSecond = 1000;
constexpr int maxScale = 16;

// The --help text, 80 columns wide.
extern const char helpText[];

struct ReadOptions {
    DemoOptions options;
    std::string error;    // the one-line error, naming the option; "" when fine
    std::string message;  // the help or the version to print and stop; "" otherwise
};

// Reads the arguments (`--name value` or `--name=value`) and checks them, without
// touching any file or the terminal.
ReadOptions readOptions(int argc, const char* const* argv);

// Parses and checks the arguments, then the things around them: standard output must be a
// terminal unless capturing or forced, and a capture folder is created and must not hold
// an earlier capture unless forced (which then removes that capture's files). Returns -1
// to go on, or the exit status when the program should stop: 0 after --help or
// --version, 2 after a one-line error on standard error.
int parseOptions(int argc, char** argv, DemoOptions& options);
