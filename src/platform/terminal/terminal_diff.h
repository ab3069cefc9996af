// Sends a frame to a terminal as the difference from what the terminal shows now.
//
// Owns the model of the screen (`TerminalScreen`: the size, where the picture sits, what
// each picture cell shows, the cursor and the colours in effect) and the encoder that
// brings the screen from that model to a new frame with few bytes. The terminal console
// keeps one TerminalScreen and calls `encodeUpdate` once per frame; tests feed the bytes to
// an emulator. Pure: no I/O, no allocation.
//
// A cell is compared by what it looks like (the colour of its upper and lower half), so a
// cell whose halves agree may be printed as a space in the background colour instead of
// the half block, whichever needs fewer bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/terminal/console.h"
#include "platform/terminal/terminal_stream.h"

// Where the 80 x 50 picture sits in a terminal of a given size. A terminal that is too
// small in either direction shows the part that fits from the top left corner, and its
// last row holds the hint instead of picture; a larger one centres the picture.
struct PictureLayout {
    int top, left;      // terminal row and column of picture cell 0,0
    int rows, columns;  // how much of the picture is shown
    bool hint;          // the last terminal row asks for a larger window
};

PictureLayout layoutFor(int terminalRows, int terminalColumns);

// The line shown in the last row while the window is too small.
inline constexpr char enlargeHint[] = "Zorbel needs 80x50 cells: enlarge the window";

struct TerminalScreen {
    int terminalRows, terminalColumns;
    PictureLayout layout;
    bool known;                    // false: the next update repaints everything
    int cursorRow, cursorColumn;   // terminal position; -1: not known
    int foreground, background;    // colour nibbles in effect; -1: not known
    uint8_t shown[consoleRows * consoleColumns];  // upper colour << 4 | lower colour
};

// Starts a model for a terminal of the given size; nothing on it is known yet.
void resetScreen(TerminalScreen& screen, int terminalRows, int terminalColumns);

// The terminal was cleared or written to by someone else: repaint everything next time.
void forgetScreen(TerminalScreen& screen);

// The terminal has a new size; a change forgets the screen, the same size keeps it.
void resizeScreen(TerminalScreen& screen, int terminalRows, int terminalColumns);

struct UpdateOptions {
    ColorMode mode;
    bool synchronized;  // wrap a non-empty update in a synchronized update (mode 2026)
};

// The options the terminal asks for: the colour mode the colour set-up chose
// (terminal_colors.h), synchronized updates unless ZORBEL_SYNC=0 (for a terminal that
// mishandles them).
UpdateOptions updateOptionsFromEnvironment();

// Upper bound of one update: every cell moved to, coloured and printed, plus the clear,
// the hint and the synchronized-update brackets.
constexpr size_t maxUpdateBytes = consoleRows * consoleColumns * 60 + 512;

// Writes into `out` (at least maxUpdateBytes) the bytes that make the terminal show
// `cells`, and updates `screen` to match. An unchanged frame gives 0 bytes. When the
// screen is not known, the update clears it to black (the surround), draws the hint if
// needed and then every picture cell.
size_t encodeUpdate(const CellBuffer& cells, const UpdateOptions& options, TerminalScreen& screen, char* out);

// What a cell looks like: upper colour << 4 | lower colour. The half block shows its
// background above its foreground; any other character shows as blank (background only).
inline uint8_t cellLook(const CharInfo& cell) {
    const int background = (cell.attribute >> 4) & 15;
    const int foreground = cell.character == halfBlockCharacter ? cell.attribute & 15 : background;
    return static_cast<uint8_t>(background << 4 | foreground);
}
