#include "platform/input/key_wait.h"

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

void readOneKey(HANDLE input) {
    for (;;) {
        INPUT_RECORD record;
        DWORD count = 0;
        if (!ReadConsoleInputW(input, &record, 1, &count)) return;
        if (count == 1 && record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown &&
            !isModifierOnly(record.Event.KeyEvent.wVirtualKeyCode)) {
            return;
        }
    }
}

}  // namespace

void waitForKey(const std::string& lead, const std::vector<std::string>& notes) {
    std::string line = promptLine(lead);
    for (const std::string& note : notes) line += "\r\n" + note;
    writeToTerminal(line.data(), line.size());
    const HANDLE input = consoleInputHandle();
    DWORD mode = 0;
    if (GetConsoleMode(input, &mode)) {
        const bool raw = enterRawInput();
        readOneKey(input);
        if (raw) restoreInputMode();
        return;
    }
    // A pipe or a file: one byte, or the end of it.
    char key;
    DWORD count = 0;
    ReadFile(input, &key, 1, &count, nullptr);
}
