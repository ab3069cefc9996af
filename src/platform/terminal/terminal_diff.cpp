#include "platform/terminal/terminal_diff.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/terminal/terminal_sequences.h"

PictureLayout layoutFor(int terminalRows, int terminalColumns) {
    PictureLayout layout;
    layout.hint = terminalRows < consoleRows || terminalColumns < consoleColumns;
    const int pictureRows = std::max(0, layout.hint ? terminalRows - 1 : terminalRows);
    const int pictureColumns = std::max(0, terminalColumns);
    layout.rows = std::min(consoleRows, pictureRows);
    layout.columns = std::min(consoleColumns, pictureColumns);
    layout.top = (pictureRows - layout.rows) / 2;
    layout.left = (pictureColumns - layout.columns) / 2;
    return layout;
}

void forgetScreen(TerminalScreen& screen) {
    screen.known = false;
    screen.cursorRow = screen.cursorColumn = -1;
    screen.foreground = screen.background = -1;
}

void resetScreen(TerminalScreen& screen, int terminalRows, int terminalColumns) {
    // Sizes beyond any real terminal are clamped so cursor positions keep to five digits.
    screen.terminalRows = std::clamp(terminalRows, 1, 9999);
    screen.terminalColumns = std::clamp(terminalColumns, 1, 9999);
    screen.layout = layoutFor(screen.terminalRows, screen.terminalColumns);
    std::memset(screen.shown, 0, sizeof screen.shown);
    forgetScreen(screen);
}

void resizeScreen(TerminalScreen& screen, int terminalRows, int terminalColumns) {
    if (terminalRows == screen.terminalRows && terminalColumns == screen.terminalColumns) return;
    resetScreen(screen, terminalRows, terminalColumns);
}

namespace {

// The SGR parameters of every colour, foreground [0] and background [1], built once per mode.
struct ColorTable {
    char text[2][16][20];
    size_t length[2][16];
};

ColorTable makeTable(ColorMode mode) {
    ColorTable table;
    for (int layer = 0; layer < 2; ++layer) {
        for (int nibble = 0; nibble < 16; ++nibble) {
            table.length[layer][nibble] = colorParameters(nibble, layer == 1, mode, table.text[layer][nibble]);
        }
    }
    return table;
}

const ColorTable& tableFor(ColorMode mode) {
    static const ColorTable ansi = makeTable(ColorMode::ansi16);
    static const ColorTable cube = makeTable(ColorMode::cube256);
    static const ColorTable truecolor = makeTable(ColorMode::truecolor);
    // Palette mode sends the ANSI colours; the terminal's palette makes them exact.
    switch (mode) {
        case ColorMode::truecolor: return truecolor;
        case ColorMode::cube256: return cube;
        case ColorMode::palette:
        case ColorMode::ansi16: break;
    }
    return ansi;
}

size_t digits(int value) { return value >= 1000 ? (value >= 10000 ? 5 : 4) : value >= 100 ? 3 : value >= 10 ? 2 : 1; }

enum class Glyph { space, lowerHalf };

// How one cell is printed and which colours change for it (-1: that colour stays).
struct CellPlan {
    Glyph glyph;
    int foreground, background;
    size_t cost;
};

struct Encoder {
    const ColorTable& colors;
    TerminalScreen& screen;
    char* out;
    size_t n = 0;

    void put(const char* text, size_t length) {
        std::memcpy(out + n, text, length);
        n += length;
    }
    void put(const char* text) { put(text, std::strlen(text)); }

    size_t colorCost(int foreground, int background) const {
        if (foreground < 0 && background < 0) return 0;
        size_t cost = 3;  // ESC [ ... m
        if (foreground >= 0) cost += colors.length[0][foreground];
        if (background >= 0) cost += colors.length[1][background];
        if (foreground >= 0 && background >= 0) cost += 1;  // the ';' between them
        return cost;
    }

    void setColors(int foreground, int background) {
        if (foreground < 0 && background < 0) return;
        put(seq::colorStart);
        if (foreground >= 0) put(colors.text[0][foreground], colors.length[0][foreground]);
        if (foreground >= 0 && background >= 0) put(";", 1);
        if (background >= 0) put(colors.text[1][background], colors.length[1][background]);
        put(seq::colorEnd);
        if (foreground >= 0) screen.foreground = foreground;
        if (background >= 0) screen.background = background;
    }

    // The cheapest way to print a cell that looks like `look` with the colours in effect.
    // A half block needs both colours; a cell of one colour may instead be a space in its
    // background, which covers the cell exactly whatever the font. (A full block would save
    // colour bytes too, but fonts draw it short of the cell edges, leaving thin lines.)
    CellPlan plan(uint8_t look) const {
        const int upper = look >> 4, lower = look & 15;
        const int needForeground = screen.foreground == lower ? -1 : lower;
        const int needBackground = screen.background == upper ? -1 : upper;
        const CellPlan half{Glyph::lowerHalf, needForeground, needBackground, colorCost(needForeground, needBackground) + 3};
        if (upper != lower) return half;
        const CellPlan space{Glyph::space, -1, needBackground, colorCost(-1, needBackground) + 1};
        return space.cost <= half.cost ? space : half;
    }

    void printGlyph(Glyph glyph) {
        if (glyph == Glyph::space) put(" ", 1);
        else put(seq::lowerHalfBlock);
        // At the last column the cursor stays put (or waits to wrap, should autowrap still be
        // on); either way the next print needs an absolute move, so nothing ever scrolls.
        if (++screen.cursorColumn >= screen.terminalColumns) screen.cursorRow = screen.cursorColumn = -1;
    }

    // Bytes to reprint picture cells of row `row` from `first` up to `last` (excluded) with
    // the colours in effect, or 0 when one of them would need a colour change.
    size_t reprintCost(int row, int first, int last) const {
        size_t cost = 0;
        for (int column = first; column < last; ++column) {
            const uint8_t look = screen.shown[row * consoleColumns + column];
            const int upper = look >> 4, lower = look & 15;
            if (upper == lower && screen.background == upper) cost += 1;
            else if (screen.foreground == lower && screen.background == upper) cost += 3;
            else return 0;
        }
        return cost;
    }

    void reprint(int row, int first, int last) {
        for (int column = first; column < last; ++column) {
            const uint8_t look = screen.shown[row * consoleColumns + column];
            const int upper = look >> 4, lower = look & 15;
            printGlyph(upper == lower && screen.background == upper ? Glyph::space : Glyph::lowerHalf);
        }
    }

    void cursorTo(int terminalRow, int terminalColumn) {
        char move[32];
        const int length = terminalColumn == 0
                               ? std::snprintf(move, sizeof move, seq::cursorToRowFormat, terminalRow + 1)
                               : std::snprintf(move, sizeof move, seq::cursorToFormat, terminalRow + 1, terminalColumn + 1);
        put(move, static_cast<size_t>(length));
        screen.cursorRow = terminalRow;
        screen.cursorColumn = terminalColumn;
    }

    // Brings the cursor to picture cell (row, column) by the shortest of: an absolute move, a
    // move to the right, or reprinting the unchanged cells in between.
    void moveTo(int row, int column) {
        const PictureLayout& layout = screen.layout;
        const int targetRow = layout.top + row, targetColumn = layout.left + column;
        if (screen.cursorRow == targetRow && screen.cursorColumn == targetColumn) return;
        const size_t absolute = 3 + digits(targetRow + 1) + (targetColumn > 0 ? 1 + digits(targetColumn + 1) : 0);
        const bool sameRow = screen.cursorRow == targetRow && screen.cursorColumn >= layout.left &&
                             screen.cursorColumn < targetColumn;
        if (!sameRow) return cursorTo(targetRow, targetColumn);
        const int gap = targetColumn - screen.cursorColumn;
        const size_t forward = gap == 1 ? 3 : 3 + digits(gap);
        const int firstSkipped = screen.cursorColumn - layout.left;
        const size_t again = gap <= 8 ? reprintCost(row, firstSkipped, column) : 0;
        if (again > 0 && again <= std::min(forward, absolute)) return reprint(row, firstSkipped, column);
        if (forward > absolute) return cursorTo(targetRow, targetColumn);
        if (gap == 1) {
            put(seq::cursorForward);
        } else {
            char move[16];
            put(move, static_cast<size_t>(std::snprintf(move, sizeof move, seq::cursorForwardFormat, gap)));
        }
        screen.cursorColumn = targetColumn;
    }

    // Clears the whole screen to black, the colour of the surround, and draws the hint.
    void clearScreen() {
        put(seq::resetColors);
        screen.foreground = screen.background = -1;
        setColors(-1, 0);
        put(seq::clearScreen);
        if (!screen.layout.hint) return;
        cursorTo(screen.terminalRows - 1, 0);
        setColors(7, -1);
        // One column short of the edge, so the last cell of the screen is never written.
        const size_t fits = static_cast<size_t>(screen.terminalColumns - 1);
        const size_t length = std::min(sizeof enlargeHint - 1, fits);
        put(enlargeHint, length);
        screen.cursorColumn += static_cast<int>(length);
    }
};

}  // namespace

size_t encodeUpdate(const CellBuffer& cells, const UpdateOptions& options, TerminalScreen& screen, char* out) {
    Encoder encoder{tableFor(options.mode), screen, out};
    if (options.synchronized) encoder.put(seq::beginSynchronizedUpdate);
    const size_t opening = encoder.n;

    const bool repaint = !screen.known;
    if (repaint) encoder.clearScreen();
    const PictureLayout& layout = screen.layout;
    for (int row = 0; row < layout.rows; ++row) {
        for (int column = 0; column < layout.columns; ++column) {
            const int index = row * consoleColumns + column;
            const uint8_t look = cellLook(cells[index]);
            if (!repaint && screen.shown[index] == look) continue;
            encoder.moveTo(row, column);
            const CellPlan plan = encoder.plan(look);
            encoder.setColors(plan.foreground, plan.background);
            encoder.printGlyph(plan.glyph);
            screen.shown[index] = look;
        }
    }
    screen.known = true;

    if (encoder.n == opening) return 0;  // nothing changed: not even the brackets
    if (options.synchronized) encoder.put(seq::endSynchronizedUpdate);
    return encoder.n;
}

UpdateOptions updateOptionsFromEnvironment() {
    const char* sync = std::getenv("ZORBEL_SYNC");
    return UpdateOptions{terminalColorMode, sync == nullptr || std::strcmp(sync, "0") != 0};
}
