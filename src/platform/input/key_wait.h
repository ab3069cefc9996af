// Waiting for the viewer to press a key.
//
// Called once by the driver. Prints the driver's `lead` and the console's
// "Press any key to continue . . . " after it on the first row, the driver's note lines
// under it (the keys, warnings, anything the viewer should read before the show), and
// returns the key pressed, for the driver to decide whether it starts or quits the show.
// It asks again, whole, after Ctrl-Z and fg, when the shell has drawn over the screen.
// While it waits, a window smaller than the show says so under the notes, updated on every
// resize. The input stays without echo and line buffering afterwards, for the whole show;
// the terminal's restore gives the old mode back.
#pragma once

#include <string>
#include <vector>

// The prompt's line: the driver's `lead`, then the console's own words.
std::string promptLine(const std::string& lead);

// The line shown for a window of `rows` x `columns`: "" when the show fits.
std::string windowSizeNote(int rows, int columns);

// The notes as screen rows of at most `columns` characters: each note starts a row, and
// one too long is broken between words (a word longer than a row, at the row's end).
std::vector<std::string> noteRows(const std::vector<std::string>& notes, int columns);

// Shows the prompt and the notes and waits for one key. Returns the keys read, one byte a
// key as viewer_input.h decodes them (Esc as "\x1b", an arrow key as otherKey; the
// terminal's answers are not keys); "" at the end of input.
std::string waitForKey(const std::string& lead, const std::vector<std::string>& notes);
