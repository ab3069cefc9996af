// Which signals end the program, and how the program stops on them outside the terminal.
//
// Owns the list of signals whose default action ends the process, the holding of them
// while library threads start (threads inherit the mask, so only the main thread ever
// runs a handler), the stop request of a capture, and the standard descriptors at start.
// The terminal's own restore handlers live in terminal_io.cpp and use the list from here.
#pragma once

// Called first in main, before anything opens a file: any of descriptors 0, 1 and 2 that
// is closed is opened to /dev/null, so no later file can become standard input or output.
void openMissingStandardDescriptors();

// Blocks every terminating signal in the calling thread until the release; threads started
// in between (a sound library's) inherit the block. Signals that arrive meanwhile are
// delivered at the release. Not nested.
void holdTerminatingSignals();
void releaseTerminatingSignals();

// Capture: SIGINT, SIGTERM, SIGHUP and SIGQUIT only set a stop request, which the frame
// loop checks between frames; a file size limit makes writes fail instead of killing.
// A second request (`timeout` signals the program and then its group) hurries the
// clean-up: what is still queued is skipped and the temporary files are removed, but the
// clean-up itself is never cut short, so no temporary file is left behind.
void catchStopRequests();
bool stopRequested();
bool stopHurried();
// Ends the program by the signal that asked it to stop, so the shell sees why.
[[noreturn]] void endByStopSignal();

// For the terminal's handlers: calls `install(signal)` for every signal whose default
// action ends the process, except SIGPIPE (a closed terminal shows up as a failed write).
void forEachTerminatingSignal(void (*install)(int signalNumber));
