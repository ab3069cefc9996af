// Colour sequences for a terminal, and the plain full repaint of one frame.
//
// Used by the damage encoder (terminal_diff.h), which sends what changed, and by the
// benchmark, which compares against the full repaint. Pure: no I/O. Colours are either the
// exact 24-bit palette or the 16 ANSI colours. Positions are absolute; no line end is
// ever printed.
#pragma once

#include <cstddef>

#include "platform/console.h"

enum class ColorMode { ansi16, truecolor };

// Picks 24-bit colour when COLORTERM says the terminal has it.
ColorMode colorModeFromEnvironment(const char* colorterm);

// The SGR parameters (without ESC [ and m) that set one colour of the 16: "31", "104",
// "38;2;128;0;0". Writes them to `out` (at least 20 bytes) and returns the length.
size_t colorParameters(int nibble, bool background, ColorMode mode, char* out);

// Worst case for one full repaint: every cell with both colours set and a cursor move per row.
constexpr size_t maxFrameBytes = consoleRows * (16 + consoleColumns * (40 + 3)) + 64;

// The full repaint: every cell, row by row, from the top left corner of the screen. Writes
// into `out` (at least maxFrameBytes) and returns the count.
size_t encodeFrame(const CellBuffer& cells, ColorMode mode, char* out);
