#include "platform/terminal/terminal_size.h"

#include <io.h>
#include <stdio.h>
#include <windows.h>

#include "platform/terminal/console.h"

bool outputIsTerminal() { return _isatty(_fileno(stdout)) != 0; }

// The visible window of the console, or 80 x 50 when standard output is no console.
void readTerminalSize(int& rows, int& columns) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    const bool known = GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &info) != 0;
    rows = known ? info.srWindow.Bottom - info.srWindow.Top + 1 : consoleRows;
    columns = known ? info.srWindow.Right - info.srWindow.Left + 1 : consoleColumns;
}
