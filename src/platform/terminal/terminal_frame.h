// The frame path both terminal consoles share: the model of what the terminal shows, kept
// from frame to frame, and the sending of what changed.
//
// The POSIX terminal console and the byte-stream path of the Windows console call
// `sendFrame` once per frame, `clearTerminalScreen` to clear, and `forgetShownFrame` when
// they learn that someone else drew on the screen. Writes go through writeToTerminal (terminal_io.h).
#pragma once

#include "platform/terminal/console.h"

// Reads the window's size in cells; the console's own way of asking.
using WindowSizeReader = void (*)(int& rows, int& columns);

// Applies a resize noted since the last frame (or reads the size at the first frame),
// then writes the bytes that bring the terminal from what it shows to `cells`.
void sendFrame(const CellBuffer& cells, WindowSizeReader readWindowSize);

// The next frame repaints everything.
void forgetShownFrame();

// Resets the colours, clears the screen and puts the cursor home; the next frame repaints.
void clearTerminalScreen();

// From now on each frame asks the terminal to confirm it, and frames are dropped while one
// is unconfirmed. Called by the colour set-up once the terminal has shown that it answers.
void paceFramesByAnswers();
