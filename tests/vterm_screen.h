// A real terminal emulator (libvterm) for tests, and the comparison of its screen with a placed picture.
#pragma once

#include <cstdint>
#include <string>
#include <vterm.h>

#include "platform/terminal/console_palette.h"
#include "platform/terminal/terminal_diff.h"

struct EmulatedTerminal {
    EmulatedTerminal(int rows, int columns) : vt(vterm_new(rows, columns)), screen(vterm_obtain_screen(vt)) {
        vterm_set_utf8(vt, 1);
        vterm_screen_reset(screen, 1);
    }
    ~EmulatedTerminal() { vterm_free(vt); }
    EmulatedTerminal(const EmulatedTerminal&) = delete;
    EmulatedTerminal& operator=(const EmulatedTerminal&) = delete;

    void feed(const std::string& bytes) { vterm_input_write(vt, bytes.data(), bytes.size()); }
    void resize(int rows, int columns) { vterm_set_size(vt, rows, columns); }
    VTermScreenCell cell(int row, int column) const {
        VTermScreenCell cell;
        vterm_screen_get_cell(screen, VTermPos{row, column}, &cell);
        return cell;
    }

    VTerm* const vt;
    VTermScreen* const screen;
};

// The console nibble (intensity 8, red 4, green 2, blue 1) of an ANSI index or palette colour; else -1.
inline int consoleNibble(VTermColor color) {
    if (VTERM_COLOR_IS_INDEXED(&color)) {
        if (color.indexed.idx > 15) return -1;
        const int index = color.indexed.idx;  // ANSI red 1, green 2, blue 4 back to the console's
        return ((index & 1) ? 4 : 0) | (index & 2) | ((index & 4) ? 1 : 0) | (index & 8);
    }
    if (!VTERM_COLOR_IS_RGB(&color)) return -1;
    for (int nibble = 0; nibble < 16; ++nibble) {
        const PaletteColor& c = consolePalette[nibble];
        if (color.rgb.red == c.r && color.rgb.green == c.g && color.rgb.blue == c.b) return nibble;
    }
    return -1;
}

// A cell's look as cellLook measures it (upper << 4 | lower) for a lower half block, full block or blank; else -1.
inline int consoleLook(const EmulatedTerminal& terminal, int row, int column) {
    const VTermScreenCell cell = terminal.cell(row, column);
    const int foreground = consoleNibble(cell.fg), background = consoleNibble(cell.bg);
    int upper = background, lower = foreground;
    if (cell.chars[0] == 0x2588) upper = foreground;
    else if (cell.chars[0] == ' ' || cell.chars[0] == 0) lower = background;
    else if (cell.chars[0] != 0x2584) return -1;
    return upper < 0 || lower < 0 ? -1 : upper << 4 | lower;
}

// The cells of a screen that differ from `layout`: `look` inside the picture, black around, the hint on its last row.
template <typename Look>
int layoutMismatches(const EmulatedTerminal& terminal, const PictureLayout& layout, int rows, int columns, Look look) {
    int wrong = 0;
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column) {
            const int r = row - layout.top, c = column - layout.left;
            if (r >= 0 && r < layout.rows && c >= 0 && c < layout.columns) {
                wrong += consoleLook(terminal, row, column) != look(r, c);
            } else if (layout.hint && row == rows - 1) {
                const bool inText = column < static_cast<int>(sizeof enlargeHint - 1) && column < columns - 1;
                const uint32_t shown = terminal.cell(row, column).chars[0];
                wrong += (shown == 0 ? ' ' : shown) != (inText ? static_cast<uint32_t>(enlargeHint[column]) : ' ');
            } else {
                wrong += consoleLook(terminal, row, column) != 0;
            }
        }
    return wrong;
}
