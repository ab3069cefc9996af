// The capture's one-line progress on standard error, shown only when that is a terminal.
//
// Called by the capture's frame loop every few frames (`showProgress`) and once when it
// ends (`endProgress`); the capture calls `endProgress` before any message of its own, so
// no message continues the progress line. The line is redrawn in place and kept within
// the width of standard error's window, so it never wraps. The width is read by
// progress_posix.cpp or progress_windows.cpp.
#pragma once

#include <string>

// The line for `done` of `total` frames written in `seconds` of wall time, for a show at
// `showFramesPerSecond`, in at most `columns` - 1 characters: a bar, the frames, and once
// measured (half a second and ten frames) the speed, in frames a second and times real
// time, and the time left. A narrow window drops the speed, then the time left.
std::string progressLine(long done, long total, double seconds, double showFramesPerSecond, int columns);

// Shows the line for these figures, over the one shown before.
void showProgress(long done, long total, double seconds, double showFramesPerSecond);

// Ends a progress line that is shown with a newline; does nothing when none is, so it may
// be called before every message.
void endProgress();

// The columns of the terminal on standard error (80 when it does not say); 0 when
// standard error is no terminal.
int errorTerminalColumns();
