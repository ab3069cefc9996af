#include "platform/input/viewer_input.h"

#include <windows.h>

// Key presses waiting in the console's input, as the characters they type (Esc included);
// key releases, mouse and window events are taken and dropped. Never waits.
size_t readTypedInput(char* buffer, size_t capacity) {
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    size_t count = 0;
    DWORD waiting = 0;
    while (count < capacity && GetNumberOfConsoleInputEvents(input, &waiting) && waiting > 0) {
        INPUT_RECORD record;
        DWORD read = 0;
        if (!ReadConsoleInputW(input, &record, 1, &read) || read == 0) break;
        if (record.EventType != KEY_EVENT || !record.Event.KeyEvent.bKeyDown) continue;
        const WCHAR typed = record.Event.KeyEvent.uChar.UnicodeChar;
        if (typed != 0 && typed < 0x80) buffer[count++] = static_cast<char>(typed);
    }
    return count;
}

void discardTypedInput(int) { FlushConsoleInputBuffer(GetStdHandle(STD_INPUT_HANDLE)); }
