#include "platform/input/key_wait.h"

#include "platform/input/input_decoder.h"
#include "platform/terminal/console.h"
#include "platform/terminal/terminal_io.h"
#include "platform/terminal/windows_console.h"

namespace {

// Shift, Control, Alt and the lock keys alone do not count as a key press.
bool isModifierOnly(WORD key) {
    switch (key) {
    case VK_SHIFT: case VK_CONTROL: case VK_MENU: case VK_LWIN: case VK_RWIN:
    case VK_CAPITAL: case VK_NUMLOCK: case VK_SCROLL:
        return true;
    default:
        return false;
    }
}

// The key as the platform's input decodes keys: Esc as "\x1b", a character key as its
// character in UTF-8, any other key (arrows, function keys) as otherKey.
std::string readOneKey(HANDLE input) {
    for (;;) {
        INPUT_RECORD record;
        DWORD count = 0;
        if (!ReadConsoleInputW(input, &record, 1, &count)) return "";
        const KEY_EVENT_RECORD& key = record.Event.KeyEvent;
        if (count != 1 || record.EventType != KEY_EVENT || !key.bKeyDown || isModifierOnly(key.wVirtualKeyCode))
            continue;
        if (key.wVirtualKeyCode == VK_ESCAPE) return "\x1b";
        const wchar_t typed[1] = {key.uChar.UnicodeChar};
        char bytes[8];
        const int length = typed[0] != 0 ? WideCharToMultiByte(CP_UTF8, 0, typed, 1, bytes, sizeof bytes, nullptr, nullptr) : 0;
        return length > 0 ? std::string(bytes, static_cast<size_t>(length)) : std::string(1, otherKey);
    }
}

}  // namespace

std::string waitForKey(const std::string& lead, const std::vector<std::string>& notes) {
    const std::string line = promptLine(lead);
    const HANDLE output = consoleOutputHandle();
    CONSOLE_SCREEN_BUFFER_INFO info;
    const bool placed = GetConsoleScreenBufferInfo(output, &info) != 0;
    writeToTerminal(line.data(), line.size());
    // The notes under the prompt, broken to the show's width (the console is set to it),
    // each placed on its row: the cells path writes line ends as characters. The cursor
    // then waits after the prompt.
    if (placed) {
        SHORT row = info.dwCursorPosition.Y;
        for (const std::string& text : noteRows(notes, consoleColumns)) {
            SetConsoleCursorPosition(output, COORD{0, ++row});
            writeToTerminal(text.data(), text.size());
        }
        SetConsoleCursorPosition(output, COORD{static_cast<SHORT>(info.dwCursorPosition.X + line.size()), info.dwCursorPosition.Y});
    }
    const HANDLE input = consoleInputHandle();
    DWORD mode = 0;
    if (GetConsoleMode(input, &mode)) {
        const bool raw = enterRawInput();
        const std::string key = readOneKey(input);
        if (raw) restoreInputMode();
        return key;
    }
    // A pipe or a file: one byte, or the end of it.
    char key;
    DWORD count = 0;
    ReadFile(input, &key, 1, &count, nullptr);
    return count == 1 ? std::string(1, key) : std::string();
}
