#include "platform/terminal_stream.h"

#include <cstdio>
#include <cstring>

#include "platform/console_palette.h"
#include "platform/terminal_sequences.h"

ColorMode colorModeFromEnvironment(const char* colorterm) {
    if (colorterm != nullptr &&
        (std::strcmp(colorterm, "truecolor") == 0 || std::strcmp(colorterm, "24bit") == 0)) {
        return ColorMode::truecolor;
    }
    return ColorMode::ansi16;
}

static size_t append(char* out, const char* text) {
    const size_t length = std::strlen(text);
    std::memcpy(out, text, length);
    return length;
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

static size_t colorSequence(int foreground, int background, ColorMode mode, char* out) {
    size_t n = append(out, "\x1b[");
    n += colorParameters(foreground, false, mode, out + n);
    out[n++] = ';';
    n += colorParameters(background, true, mode, out + n);
    out[n++] = 'm';
    return n;
}

size_t encodeFrame(const CellBuffer& cells, ColorMode mode, char* out) {
    size_t n = 0;
    int lastAttribute = -1;
    for (int row = 0; row < consoleRows; ++row) {
        n += std::sprintf(out + n, seq::cursorToFormat, row + 1, 1);
        for (int column = 0; column < consoleColumns; ++column) {
            const int attribute = cells[row * consoleColumns + column].attribute & 0xFF;
            if (attribute != lastAttribute) {
                n += colorSequence(attribute & 0x0F, attribute >> 4, mode, out + n);
                lastAttribute = attribute;
            }
            // The display only ever writes the half block; anything else shows as blank.
            const bool halfBlock = cells[row * consoleColumns + column].character == 220;
            n += halfBlock ? append(out + n, seq::lowerHalfBlock) : append(out + n, " ");
        }
    }
    return n;
}
