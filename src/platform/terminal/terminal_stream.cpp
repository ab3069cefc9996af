#include "platform/terminal/terminal_stream.h"

#include <cstdio>
#include <cstring>

#include "platform/terminal/console_palette.h"

ColorMode colorModeFromEnvironment(const char* colorterm) {
    if (colorterm != nullptr &&
        (std::strcmp(colorterm, "truecolor") == 0 || std::strcmp(colorterm, "24bit") == 0)) {
        return ColorMode::truecolor;
    }
    return ColorMode::ansi16;
}

// ANSI orders its colour bits red 1, green 2, blue 4; the console's are blue 1, green 2, red 4.
static int ansiIndex(int nibble) {
    return ((nibble & 4) ? 1 : 0) | (nibble & 2) | ((nibble & 1) ? 4 : 0);
}

size_t colorParameters(int nibble, bool background, ColorMode mode, char* out) {
    if (mode == ColorMode::truecolor) {
        const PaletteColor& c = consolePalette[nibble & 15];
        return static_cast<size_t>(std::sprintf(out, "%d;2;%d;%d;%d", background ? 48 : 38, c.r, c.g, c.b));
    }
    const int base = background ? (nibble & 8 ? 100 : 40) : (nibble & 8 ? 90 : 30);
    return static_cast<size_t>(std::sprintf(out, "%d", base + ansiIndex(nibble)));
}
