// The plain full repaint of one frame: the baseline the damage encoder is measured against.
//
// Every cell, row by row from the top left corner, with a colour sequence whenever the
// attribute changes. Used only by the terminal benchmark.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstring>

#include "platform/terminal/console.h"
#include "platform/terminal/terminal_sequences.h"
#include "platform/terminal/terminal_stream.h"

// Worst case for one full repaint: every cell with both colours set and a cursor move per row.
constexpr size_t maxFrameBytes = consoleRows * (16 + consoleColumns * (40 + 3)) + 64;

inline size_t appendText(char* out, const char* text) {
    const size_t length = std::strlen(text);
    std::memcpy(out, text, length);
    return length;
}

// Writes into `out` (at least maxFrameBytes) and returns the count.
inline size_t encodeFullRepaint(const CellBuffer& cells, ColorMode mode, char* out) {
    size_t n = 0;
    int lastAttribute = -1;
    for (int row = 0; row < consoleRows; ++row) {
        n += std::sprintf(out + n, seq::cursorToFormat, row + 1, 1);
        for (int column = 0; column < consoleColumns; ++column) {
            const CharInfo& cell = cells[row * consoleColumns + column];
            const int attribute = cell.attribute & 0xFF;
            if (attribute != lastAttribute) {
                n += appendText(out + n, "\x1b[");
                n += colorParameters(attribute & 0x0F, false, mode, out + n);
                out[n++] = ';';
                n += colorParameters(attribute >> 4, true, mode, out + n);
                out[n++] = 'm';
                lastAttribute = attribute;
            }
            n += appendText(out + n, cell.character == halfBlockCharacter ? seq::lowerHalfBlock : " ");
        }
    }
    return n;
}
