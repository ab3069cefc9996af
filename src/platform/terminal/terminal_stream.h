// Colour sequences for a terminal.
//
// Used by the damage encoder (terminal_diff.h), which sends what changed, and by the
// benchmark's full repaint. Pure: no I/O. Colours are either the exact 24-bit palette or
// the 16 ANSI colours.
#pragma once

#include <cstddef>

#include "platform/terminal/console.h"

enum class ColorMode { ansi16, truecolor };

// Picks 24-bit colour when COLORTERM says the terminal has it.
ColorMode colorModeFromEnvironment(const char* colorterm);

// The SGR parameters (without ESC [ and m) that set one colour of the 16: "31", "104",
// "38;2;128;0;0". Writes them to `out` (at least 20 bytes) and returns the length.
size_t colorParameters(int nibble, bool background, ColorMode mode, char* out);
