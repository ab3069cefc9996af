// Waiting for the viewer to press a key.
//
// Called once by the driver. Prints the driver's `lead` and the console's
// "Press any key to continue . . . " after it on one line (again after Ctrl-Z and fg,
// when the shell has drawn over the screen) and returns after one key (or
// one byte, or end of input, when standard input is not a terminal). While it waits, a
// window smaller than the show says so two lines below, updated on every resize. The
// input stays without echo and line buffering afterwards, for the whole show; the
// terminal's restore gives the old mode back.
#pragma once

#include <string>
#include <vector>

// The prompt's line: the driver's `lead`, then the console's own words.
std::string promptLine(const std::string& lead);

// The line shown for a window of `rows` x `columns`: "" when the show fits.
std::string windowSizeNote(int rows, int columns);

// `notes` are shown one a line under the prompt, the window's size note below them.
void waitForKey(const std::string& lead, const std::vector<std::string>& notes = {});
