// Builds the bytes that show one frame of console cells on a terminal.
//
// Called by the terminal console for every frame; pure (no I/O), so tests feed its output
// to a terminal emulator. Colours are either the exact 24-bit palette or the 16 ANSI
// colours. Positions are absolute; no line end is ever printed.
#pragma once

#include <cstddef>

#include "platform/console.h"

enum class ColorMode { ansi16, truecolor };

// Picks 24-bit colour when COLORTERM says the terminal has it.
ColorMode colorModeFromEnvironment(const char* colorterm);

// Worst case for one frame: every cell with both colours set and a cursor move per row.
constexpr size_t maxFrameBytes = consoleRows * (16 + consoleColumns * (40 + 3)) + 64;

// Writes the bytes that draw every cell into `out` (at least maxFrameBytes); returns the count.
size_t encodeFrame(const CellBuffer& cells, ColorMode mode, char* out);
