// The Windows console the program runs in, shared by the Windows files of this layer.
//
// terminal_io_windows.cpp owns it: the handles, the state saved at take-over and put back
// on every exit path, the lock that keeps the control handler's restore from interleaving
// with a frame, and the choice of output path. The console backend
// (terminal_console_windows.cpp) and the key wait use it; nothing outside src/platform/ does.
#pragma once

#include <windows.h>

// How frames reach the console, chosen once at take-over. ZORBEL_CONSOLE=cells forces one
// WriteConsoleOutputW of all cells per frame, ZORBEL_CONSOLE=vt the terminal byte stream;
// otherwise the byte stream where the console accepts virtual-terminal processing (or
// standard output is no console at all), else the cells.
enum class ConsoleOutputPath { virtualTerminal, cells };
ConsoleOutputPath consoleOutputPath();

// Chooses the path from the variable's value and whether virtual-terminal processing was
// accepted. Pure, for tests.
ConsoleOutputPath chooseOutputPath(const char* variable, bool virtualTerminalAccepted);

HANDLE consoleOutputHandle();  // standard output
HANDLE consoleInputHandle();   // standard input

// Gives the screen buffer a size and the window a rectangle in an order the console
// accepts whether the window shrinks or grows: the window first shrinks to fit both the old
// and the new buffer, then the buffer changes, then the window takes its rectangle.
bool resizeConsole(HANDLE output, COORD bufferSize, SMALL_RECT window);

// Ends the program after a console write that failed: restores, says so, exits with 1.
[[noreturn]] void failConsoleWrite();

// Held while a frame is written and while the control handler restores the console.
void lockConsole();
void unlockConsole();
