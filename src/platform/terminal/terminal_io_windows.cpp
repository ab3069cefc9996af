// The Windows console taken over and given back. Take-over saves the output and input
// modes, the cursor, the title, the buffer and window size, the colours and the output code
// page; `restoreTerminal` puts all of it back, on a normal exit (atexit), on Ctrl-C,
// Ctrl-Break, closing the window, log-off and shutdown (the console control handler, which
// runs on a thread of its own), and after a write that fails.
#include "platform/terminal/terminal_io.h"

#include <cstdlib>
#include <cstring>

#include "platform/terminal/terminal_sequences.h"
#include "platform/terminal/windows_console.h"

namespace {

constexpr DWORD virtualTerminalOutput = ENABLE_PROCESSED_OUTPUT | ENABLE_VIRTUAL_TERMINAL_PROCESSING;

struct SavedConsole {
    bool outputModeSaved, cursorSaved, titleSaved, layoutSaved;
    DWORD outputMode;
    CONSOLE_CURSOR_INFO cursor;
    wchar_t title[1024];
    CONSOLE_SCREEN_BUFFER_INFO layout;  // buffer size, window and colours
    UINT outputCodePage;
};

CRITICAL_SECTION consoleLock;
volatile LONG lockReady = 0;
bool taken = false;
bool inputModeSaved = false;
DWORD savedInputMode = 0;
SavedConsole saved;
ConsoleOutputPath outputPath = ConsoleOutputPath::virtualTerminal;
SHORT lastWindowColumns = 0, lastWindowRows = 0;

void ensureLock() {
    // The first caller is the main thread, before any other thread exists.
    if (lockReady) return;
    InitializeCriticalSection(&consoleLock);
    lockReady = 1;
}

bool writeFully(const char* bytes, size_t count) {
    const HANDLE output = consoleOutputHandle();
    while (count > 0) {
        DWORD written = 0;
        const DWORD chunk = count > 65536 ? 65536 : static_cast<DWORD>(count);
        if (!WriteFile(output, bytes, chunk, &written, nullptr) || written == 0) return false;
        bytes += written;
        count -= written;
    }
    return true;
}

std::string paletteRestore;  // what usePaletteForShow asked to send on the way out

void restoreLocked() {
    if (inputModeSaved) {
        SetConsoleMode(consoleInputHandle(), savedInputMode);
        inputModeSaved = false;
    }
    if (!taken) return;
    taken = false;
    const HANDLE output = consoleOutputHandle();
    if (outputPath == ConsoleOutputPath::virtualTerminal) {
        writeFully(paletteRestore.data(), paletteRestore.size());
        writeFully(seq::restoreAll, sizeof seq::restoreAll - 1);
    }
    if (saved.outputModeSaved) SetConsoleMode(output, saved.outputMode);
    if (saved.layoutSaved) {
        resizeConsole(output, saved.layout.dwSize, saved.layout.srWindow);
        SetConsoleTextAttribute(output, saved.layout.wAttributes);
    }
    if (saved.cursorSaved) SetConsoleCursorInfo(output, &saved.cursor);
    if (saved.titleSaved) SetConsoleTitleW(saved.title);
    if (saved.outputCodePage != 0) SetConsoleOutputCP(saved.outputCodePage);
}

BOOL WINAPI onConsoleControl(DWORD event) {
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        // The lock stays held: the main thread must not draw over the restored console
        // before the process is gone.
        lockConsole();
        restoreLocked();
        ExitProcess(STATUS_CONTROL_C_EXIT);
    default:
        return FALSE;
    }
}

void saveConsole() {
    const HANDLE output = consoleOutputHandle();
    saved.outputModeSaved = GetConsoleMode(output, &saved.outputMode) != 0;
    saved.cursorSaved = GetConsoleCursorInfo(output, &saved.cursor) != 0;
    saved.titleSaved = GetConsoleTitleW(saved.title, sizeof saved.title / sizeof saved.title[0]) > 0;
    saved.layoutSaved = GetConsoleScreenBufferInfo(output, &saved.layout) != 0;
    saved.outputCodePage = GetConsoleOutputCP();
}

// Wine's console accepts the mode but passes the sequences to its terminal beside its own
// drawing of the buffer, which garbles the picture: there it counts as an older console.
bool runningUnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// Virtual-terminal processing is tried on the real console; the mode is set for good by
// the console backend's raw-output step.
bool consoleAcceptsVirtualTerminal() {
    if (!saved.outputModeSaved) return true;  // not a console: a byte stream anyway
    if (runningUnderWine()) return false;
    const HANDLE output = consoleOutputHandle();
    if (!SetConsoleMode(output, saved.outputMode | virtualTerminalOutput)) return false;
    SetConsoleMode(output, saved.outputMode);
    return true;
}

}  // namespace

ConsoleOutputPath chooseOutputPath(const char* variable, bool virtualTerminalAccepted) {
    if (variable != nullptr && std::strcmp(variable, "cells") == 0) return ConsoleOutputPath::cells;
    if (variable != nullptr && std::strcmp(variable, "vt") == 0) return ConsoleOutputPath::virtualTerminal;
    return virtualTerminalAccepted ? ConsoleOutputPath::virtualTerminal : ConsoleOutputPath::cells;
}

ConsoleOutputPath consoleOutputPath() { return outputPath; }

HANDLE consoleOutputHandle() { return GetStdHandle(STD_OUTPUT_HANDLE); }
HANDLE consoleInputHandle() { return GetStdHandle(STD_INPUT_HANDLE); }

bool resizeConsole(HANDLE output, COORD bufferSize, SMALL_RECT window) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(output, &info)) return false;
    const SHORT shownColumns = info.srWindow.Right - info.srWindow.Left + 1;
    const SHORT shownRows = info.srWindow.Bottom - info.srWindow.Top + 1;
    SMALL_RECT interim = info.srWindow;
    interim.Right = interim.Left + (shownColumns < bufferSize.X ? shownColumns : bufferSize.X) - 1;
    interim.Bottom = interim.Top + (shownRows < bufferSize.Y ? shownRows : bufferSize.Y) - 1;
    if (interim.Right >= bufferSize.X || interim.Bottom >= bufferSize.Y) {
        // The window sits further down or right than the new buffer reaches: move it home.
        interim = SMALL_RECT{0, 0, static_cast<SHORT>(interim.Right - interim.Left),
                             static_cast<SHORT>(interim.Bottom - interim.Top)};
    }
    SetConsoleWindowInfo(output, TRUE, &interim);
    const bool buffer = SetConsoleScreenBufferSize(output, bufferSize) != 0;
    const bool shown = SetConsoleWindowInfo(output, TRUE, &window) != 0;
    return buffer && shown;
}

[[noreturn]] void failConsoleWrite() {
    restoreTerminal();
    static const char message[] = "zorbel: cannot write to the terminal\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), message, sizeof message - 1, &written, nullptr);
    ExitProcess(1);
}

void lockConsole() {
    ensureLock();
    EnterCriticalSection(&consoleLock);
}

void unlockConsole() { LeaveCriticalSection(&consoleLock); }

void takeOverTerminal() {
    if (taken) return;
    ensureLock();
    saveConsole();
    outputPath = chooseOutputPath(std::getenv("ZORBEL_CONSOLE"), consoleAcceptsVirtualTerminal());
    SetConsoleOutputCP(CP_UTF8);
    SetConsoleCtrlHandler(onConsoleControl, TRUE);
    static bool exitHookInstalled = false;
    if (!exitHookInstalled) {
        std::atexit(restoreTerminal);
        exitHookInstalled = true;
    }
    taken = true;
    if (outputPath == ConsoleOutputPath::virtualTerminal) {
        if (saved.outputModeSaved) SetConsoleMode(consoleOutputHandle(), saved.outputMode | virtualTerminalOutput);
        writeToTerminal(seq::enterAlternateScreen, sizeof seq::enterAlternateScreen - 1);
    }
}

// The console has no resize signal the program can wait on cheaply; the window size is
// compared with the one seen last.
bool takeResizeNotice() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(consoleOutputHandle(), &info)) return false;
    const SHORT columns = info.srWindow.Right - info.srWindow.Left + 1;
    const SHORT rows = info.srWindow.Bottom - info.srWindow.Top + 1;
    const bool changed = lastWindowColumns != 0 && (columns != lastWindowColumns || rows != lastWindowRows);
    lastWindowColumns = columns;
    lastWindowRows = rows;
    return changed;
}

// A Windows program is not suspended and continued the way Ctrl-Z does on POSIX.
bool takeScreenLostNotice() { return false; }

void writeToTerminal(const char* bytes, size_t count) {
    lockConsole();
    const bool written = writeFully(bytes, count);
    unlockConsole();
    if (!written) failConsoleWrite();
}

// Keeps processed input, so Ctrl-C still reaches the control handler.
void usePaletteForShow(const std::string& set, const std::string& restore) {
    if (outputPath != ConsoleOutputPath::virtualTerminal) return;  // the cells path has no palette sequences
    lockConsole();
    paletteRestore = restore;
    unlockConsole();
    writeToTerminal(set.data(), set.size());
}

bool enterRawInput() {
    if (inputModeSaved) return true;
    DWORD mode = 0;
    if (!GetConsoleMode(consoleInputHandle(), &mode)) return false;
    savedInputMode = mode;
    inputModeSaved = true;
    mode &= ~static_cast<DWORD>(ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT);
    return SetConsoleMode(consoleInputHandle(), mode | ENABLE_PROCESSED_INPUT) != 0;
}

void restoreInputMode() {
    if (!inputModeSaved) return;
    SetConsoleMode(consoleInputHandle(), savedInputMode);
    inputModeSaved = false;
}

void restoreTerminal() {
    lockConsole();
    restoreLocked();
    unlockConsole();
}
