#include "platform/input/key_wait.h"

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

// The key as the bytes a POSIX terminal would send for it: Esc as "\x1b", a character
// key as its character in UTF-8, any other key (arrows, function keys) as "\x1b[".
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
        return length > 0 ? std::string(bytes, static_cast<size_t>(length)) : std::string("\x1b[");
    }
}

}  // namespace

std::string waitForKey(const std::string& lead, const std::vector<std::string>& notes) {
    std::string screen = promptLine(lead);
    // The notes under the prompt, broken to the show's width (the console is set to it).
    for (const std::string& row : noteRows(notes, consoleColumns)) screen += "\r\n" + row;
    writeToTerminal(screen.data(), screen.size());
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
