// The console on Windows: set-up through the console API, frames by one of two paths
// (windows_console.h). The byte-stream path sends the same damage-diff stream as on POSIX
// (terminal_frame.h), in UTF-8; the cells path writes all 80 x 50 cells with one
// WriteConsoleOutputW per frame, the half block as U+2584 and the attribute bits as given.
#include <cstring>

#include "platform/terminal/console.h"
#include "platform/terminal/terminal_frame.h"
#include "platform/terminal/terminal_io.h"
#include "platform/terminal/terminal_sequences.h"
#include "platform/terminal/windows_console.h"

namespace {

constexpr wchar_t lowerHalfBlock = 0x2584;

CHAR_INFO frameCells[consoleRows * consoleColumns];

bool byteStream() { return consoleOutputPath() == ConsoleOutputPath::virtualTerminal; }

void send(const char* text) { writeToTerminal(text, std::strlen(text)); }

bool readBufferInfo(CONSOLE_SCREEN_BUFFER_INFO& info) {
    return GetConsoleScreenBufferInfo(consoleOutputHandle(), &info) != 0;
}

void hideCursor() {
    takeOverTerminal();
    CONSOLE_CURSOR_INFO cursor;
    if (GetConsoleCursorInfo(consoleOutputHandle(), &cursor)) {
        cursor.bVisible = FALSE;
        SetConsoleCursorInfo(consoleOutputHandle(), &cursor);
    }
    if (byteStream()) send(seq::hideCursor);
}

void setTitle(const char* title) {
    takeOverTerminal();
    const char* text = title != nullptr ? title : "";
    wchar_t wide[256];
    const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, wide, sizeof wide / sizeof wide[0]);
    if (length > 0) SetConsoleTitleW(wide);
}

// No processed output and no wrapping at the line end; the byte stream keeps processing
// on, which virtual-terminal sequences need, and turns wrapping off with its own sequence.
void setRawOutput() {
    takeOverTerminal();
    DWORD mode = 0;
    const HANDLE output = consoleOutputHandle();
    if (GetConsoleMode(output, &mode)) {
        mode &= ~static_cast<DWORD>(ENABLE_WRAP_AT_EOL_OUTPUT);
        if (byteStream()) mode |= ENABLE_PROCESSED_OUTPUT | ENABLE_VIRTUAL_TERMINAL_PROCESSING | DISABLE_NEWLINE_AUTO_RETURN;
        else mode &= ~static_cast<DWORD>(ENABLE_PROCESSED_OUTPUT | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
        if (!SetConsoleMode(output, mode) && byteStream()) {
            SetConsoleMode(output, mode & ~static_cast<DWORD>(DISABLE_NEWLINE_AUTO_RETURN));
        }
    }
    if (byteStream()) send(seq::autowrapOff);
}

// The window can be no larger than the screen allows; the buffer is exactly the size asked.
void setSize(int columns, int rows) {
    takeOverTerminal();
    const HANDLE output = consoleOutputHandle();
    const COORD largest = GetLargestConsoleWindowSize(output);
    const SHORT windowColumns = largest.X > 0 && largest.X < columns ? largest.X : static_cast<SHORT>(columns);
    const SHORT windowRows = largest.Y > 0 && largest.Y < rows ? largest.Y : static_cast<SHORT>(rows);
    resizeConsole(output, COORD{static_cast<SHORT>(columns), static_cast<SHORT>(rows)},
                  SMALL_RECT{0, 0, static_cast<SHORT>(windowColumns - 1), static_cast<SHORT>(windowRows - 1)});
}

int bufferColumns() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    return readBufferInfo(info) ? info.dwSize.X : consoleColumns;
}

uint16_t currentAttribute() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    return readBufferInfo(info) ? info.wAttributes : 0x07;
}

// The cells path colours `cellCount` cells from the top left (the console stops at the
// buffer's end), blanks them and puts the cursor home; the byte stream clears the screen.
void fillAttribute(uint16_t attribute, int cellCount) {
    takeOverTerminal();
    if (byteStream()) {
        clearTerminalScreen();
        return;
    }
    const HANDLE output = consoleOutputHandle();
    DWORD done = 0;
    FillConsoleOutputAttribute(output, attribute, static_cast<DWORD>(cellCount), COORD{0, 0}, &done);
    FillConsoleOutputCharacterW(output, L' ', static_cast<DWORD>(cellCount), COORD{0, 0}, &done);
    SetConsoleCursorPosition(output, COORD{0, 0});
}

// The visible window's size; 80 x 50 when standard output is no console.
void readWindowSize(int& rows, int& columns) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    const bool known = readBufferInfo(info);
    rows = known ? info.srWindow.Bottom - info.srWindow.Top + 1 : consoleRows;
    columns = known ? info.srWindow.Right - info.srWindow.Left + 1 : consoleColumns;
}

void writeConsoleCells(const CellBuffer& cells) {
    for (int i = 0; i < consoleRows * consoleColumns; ++i) {
        frameCells[i].Char.UnicodeChar = cells[i].character == halfBlockCharacter ? lowerHalfBlock : static_cast<wchar_t>(cells[i].character);
        frameCells[i].Attributes = cells[i].attribute;
    }
    SMALL_RECT region{0, 0, consoleColumns - 1, consoleRows - 1};
    lockConsole();
    const bool written = WriteConsoleOutputW(consoleOutputHandle(), frameCells, COORD{consoleColumns, consoleRows},
                                             COORD{0, 0}, &region) != 0;
    unlockConsole();
    if (!written) failConsoleWrite();
}

void writeCells(const CellBuffer& cells) {
    takeOverTerminal();
    if (byteStream()) sendFrame(cells, readWindowSize);
    else writeConsoleCells(cells);
}

const Console backend = {
    hideCursor, setTitle, setRawOutput, setSize, bufferColumns, currentAttribute, fillAttribute,
    writeCells,
};

}  // namespace

const Console* terminalConsole() { return &backend; }
