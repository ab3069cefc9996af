// A one-line progress bar on standard error, shown only when standard error is a terminal.
#pragma once

// `done` of `total` frames written in `seconds` of wall time, for a show at `showFramesPerSecond`:
// shows the bar, the frames, the speed (frames a second and times real time) and the time left.
void showProgress(long done, long total, double seconds, double showFramesPerSecond);
void endProgress();
