// A real terminal emulator (libvterm) for tests: feed it bytes, read back cells.
#pragma once

#include <cstdint>
#include <string>
#include <vterm.h>

#include "platform/terminal/console_palette.h"

struct EmulatedCell {
    uint32_t character;
    VTermColor foreground;
    VTermColor background;
};

class EmulatedTerminal {
public:
    EmulatedTerminal(int rows, int columns) : vt_(vterm_new(rows, columns)) {
        vterm_set_utf8(vt_, 1);
        screen_ = vterm_obtain_screen(vt_);
        vterm_screen_reset(screen_, 1);
    }
    ~EmulatedTerminal() { vterm_free(vt_); }
    EmulatedTerminal(const EmulatedTerminal&) = delete;
    EmulatedTerminal& operator=(const EmulatedTerminal&) = delete;

    void feed(const char* bytes, size_t count) { vterm_input_write(vt_, bytes, count); }
    void feed(const std::string& bytes) { feed(bytes.data(), bytes.size()); }
    void resize(int rows, int columns) { vterm_set_size(vt_, rows, columns); }

    EmulatedCell cell(int row, int column) const {
        VTermScreenCell raw;
        vterm_screen_get_cell(screen_, VTermPos{row, column}, &raw);
        return EmulatedCell{raw.chars[0], raw.fg, raw.bg};
    }

    // The colour as 0xRRGGBB, converting palette indexes through the emulator's palette.
    uint32_t rgb(VTermColor color) const {
        vterm_screen_convert_color_to_rgb(screen_, &color);
        return (uint32_t{color.rgb.red} << 16) | (uint32_t{color.rgb.green} << 8) | color.rgb.blue;
    }

private:
    VTerm* vt_;
    VTermScreen* screen_;
};

// The console nibble (intensity 8, red 4, green 2, blue 1) an emulated colour stands for:
// one of the 16 ANSI indexes or one of the palette's 24-bit colours; -1 for any other.
inline int consoleNibble(const EmulatedTerminal& terminal, VTermColor color) {
    if (VTERM_COLOR_IS_INDEXED(&color)) {
        if (color.indexed.idx > 15) return -1;
        const int index = color.indexed.idx;  // ANSI red 1, green 2, blue 4 back to the console's
        return ((index & 1) ? 4 : 0) | (index & 2) | ((index & 4) ? 1 : 0) | (index & 8);
    }
    if (!VTERM_COLOR_IS_RGB(&color)) return -1;
    const uint32_t rgb = terminal.rgb(color);
    for (int nibble = 0; nibble < 16; ++nibble) {
        const PaletteColor& c = consolePalette[nibble];
        if (rgb == ((uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b)) return nibble;
    }
    return -1;
}

// What an emulated cell looks like, upper colour << 4 | lower colour (the measure of
// cellLook in terminal_diff.h): a lower half block, a full block, or a blank. -1 for any
// other character or a colour that is not one of the 16.
inline int consoleLook(const EmulatedTerminal& terminal, int row, int column) {
    const EmulatedCell cell = terminal.cell(row, column);
    const int foreground = consoleNibble(terminal, cell.foreground);
    const int background = consoleNibble(terminal, cell.background);
    int upper = background, lower = foreground;
    if (cell.character == 0x2588) upper = foreground;
    else if (cell.character == ' ' || cell.character == 0) lower = background;
    else if (cell.character != 0x2584) return -1;
    return upper < 0 || lower < 0 ? -1 : upper << 4 | lower;
}
