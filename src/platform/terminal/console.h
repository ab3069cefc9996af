// The character console a frame is shown on, as a table of operations.
//
// The display module carries out console set-up and writes whole frames through the
// active backend (`activeConsole`); it never knows about escape sequences or handles.
// Backends: the terminal (terminal_console_posix.cpp, or the Windows console in
// terminal_console_windows.cpp) and an in-memory console for tests and capture
// (memory_console.cpp).
#pragma once

#include <cstdint>

// One console cell as the display encodes it: an 8-bit character code (always
// halfBlockCharacter) and attribute bits: foreground blue 0x01, green 0x02, red 0x04,
// intensity 0x08; the background bits are the same shifted four places up.
struct CharInfo {
    uint16_t character;
    uint16_t attribute;
};

// The lower half block in code page 437: the one character the display writes.
constexpr uint16_t halfBlockCharacter = 220;

constexpr int consoleColumns = 80;
constexpr int consoleRows = 50;
using CellBuffer = CharInfo[consoleRows * consoleColumns];  // row by row

struct Console {
    void (*hideCursor)();
    void (*setTitle)(const char* title);
    void (*setRawOutput)();  // no processed output, no wrapping at the line end
    void (*setSize)(int columns, int rows);
    int (*bufferColumns)();
    uint16_t (*currentAttribute)();
    void (*fillAttribute)(uint16_t attribute, int cellCount);  // from cell 0,0
    void (*writeCells)(const CellBuffer& cells);               // the whole 80 x 50
};

// The terminal (POSIX) or console (Windows) on standard output.
const Console* terminalConsole();

// The backend set-up and frames go to; the terminal unless another was selected.
const Console* activeConsole();
void selectConsole(const Console* console);
