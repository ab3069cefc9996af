#include "platform/capture/progress.h"

#include <windows.h>

int errorTerminalColumns() {
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (error == INVALID_HANDLE_VALUE || !GetConsoleMode(error, &mode)) return 0;
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(error, &info)) return 80;
    return info.srWindow.Right - info.srWindow.Left + 1;
}
