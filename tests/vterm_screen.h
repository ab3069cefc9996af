// A real terminal emulator (libvterm) for tests: feed it bytes, read back cells.
#pragma once

#include <cstdint>
#include <string>
#include <vterm.h>

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

    VTermPos cursor() const {
        VTermPos position;
        vterm_state_get_cursorpos(vterm_obtain_state(vt_), &position);
        return position;
    }

private:
    VTerm* vt_;
    VTermScreen* screen_;
};
