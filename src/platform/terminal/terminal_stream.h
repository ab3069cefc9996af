// Colour sequences for a terminal.
//
// Used by the damage encoder (terminal_diff.h), which sends what changed, and by the
// benchmark's full repaint. Pure: no I/O. The colour methods, best first: the exact 24-bit
// palette; the 16 ANSI colours after the terminal's palette was set to the show's
// (terminal_colors.h does that); the nearest colours of the 256-colour cube; the terminal's
// own 16 ANSI colours.
#pragma once

#include <cstddef>

#include "platform/terminal/console.h"

enum class ColorMode { ansi16, cube256, palette, truecolor };

// Picks 24-bit colour when COLORTERM says the terminal has it.
ColorMode colorModeFromEnvironment(const char* colorterm);

// The mode the frames use: chosen by the colour set-up (terminal_colors.h) before the key
// prompt; from COLORTERM when it never ran (output that is no terminal).
extern ColorMode terminalColorMode;

// The ANSI colour number (0 to 15) that shows a console colour nibble: ANSI orders its
// colour bits red 1, green 2, blue 4, the console blue 1, green 2, red 4.
int ansiColorIndex(int nibble);

// The entry of the 256-colour cube or grey ramp (16 to 255) nearest to a console colour.
int nearestCubeColor(int nibble);

// The SGR parameters (without ESC [ and m) that set one colour of the 16: "31", "104",
// "38;5;18", "38;2;128;0;0". Writes them to `out` (at least 20 bytes) and returns the length.
size_t colorParameters(int nibble, bool background, ColorMode mode, char* out);
