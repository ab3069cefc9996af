// The terminal's standard output and its one way out.
//
// Owns whether the program has taken the terminal over (alternate screen, hidden cursor,
// no autowrap, raw input) and the input mode to give back. `restoreTerminal` undoes all of
// it; every exit path goes through it: normal exit, every signal whose default action ends
// the process (crashes too) and a write to the terminal that fails. Ctrl-Z gives the terminal back while stopped and takes
// it again on continuing. Also notes window resizes. Used by the terminal console and the key wait.
// On Windows (terminal_io_windows.cpp) the console control handler takes the signals' part.
#pragma once

#include <cstddef>
#include <string>

// Saves the window title, enters the alternate screen and installs the exit and resize
// handlers; does nothing the second time. In the background (started with &) it waits,
// without touching the terminal, until the program is in the terminal's foreground; so
// does every write.
void takeOverTerminal();

// After Ctrl-Z and fg: takes the terminal back (input mode, screen) once in the
// foreground and returns true, once; false when there was no suspension since the last
// call. Writes call it themselves; the key wait calls it to redraw its prompt.
bool resumeAfterSuspend();

// True once after each change of the window size (SIGWINCH) since the last call. The
// handler only sets a flag; the size itself is read by the next frame.
bool takeResizeNotice();

// True once after the program was suspended (Ctrl-Z) and continued: the shell drew over
// the screen meanwhile, so the next frame must repaint everything.
bool takeScreenLostNotice();

// Writes every byte to standard output, resuming after partial writes and interruptions.
// A write that fails for good restores the terminal and ends the program with status 1.
void writeToTerminal(const char* bytes, size_t count);

// Sets the terminal's palette with `set` now and after every continue from Ctrl-Z, and has
// every restore send `restore` first (the palette the terminal had). Each at most
// maxPaletteBytes; called once, by the colour set-up (terminal_colors.h).
constexpr unsigned maxPaletteBytes = 2048;
void usePaletteForShow(const std::string& set, const std::string& restore);

// Puts standard input in raw mode (no echo, no line buffering; Ctrl-C still interrupts),
// remembering the previous mode; `restoreInputMode` gives it back.
// A second call keeps the mode saved by the first.
bool enterRawInput();
void restoreInputMode();

// Puts the palette back, leaves the alternate screen, shows the cursor, re-enables
// autowrap, resets colours, puts the saved title back, drops input not yet read (so
// nothing typed during the show reaches the shell) and restores the input mode. Safe in a signal handler; does nothing when nothing was taken.
void restoreTerminal();
