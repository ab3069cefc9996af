// The command line. Without arguments the demo runs as it always has; the options are for
// viewers who want a scene and for demo authors who capture the show to pictures.
#pragma once

#include <string>

struct DemoOptions {
    std::string captureFolder;  // empty: play in the terminal
    double framesPerSecond = 60;
    double from = 0;     // capture window, seconds of demo time
    double to = 260;
    int scale = 1;       // captured picture pixels per grid cell, each way
    bool noAudio = false;
    double start = 0;    // seconds into the show to start at
    std::string videoFile;  // .mp4, .mkv or .webm; empty: no video
    bool lossless = false;  // video frames that decode to exactly the captured pictures
};

// Parses the arguments. Returns -1 to go on, or the exit status when the program should
// stop: 0 after --help or --version, 2 after a one-line error on standard error.
int parseOptions(int argc, char** argv, DemoOptions& options);
