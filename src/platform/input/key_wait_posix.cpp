#include "platform/input/key_wait.h"

#include <cerrno>
#include <cstdio>
#include <poll.h>
#include <unistd.h>

#include "platform/input/viewer_input.h"
#include "platform/terminal/terminal_io.h"
#include "platform/terminal/terminal_sequences.h"
#include "platform/terminal/terminal_size.h"

namespace {

void send(const std::string& text) { writeToTerminal(text.data(), text.size()); }

std::string cursorTo(int row, int column) {
    char position[32];
    std::snprintf(position, sizeof position, seq::cursorToFormat, row, column);
    return position;
}

// The whole prompt screen: the prompt on the first row, the notes from the second, a blank
// row, then the window's size when it is too small; the cursor waits after the prompt.
// Drawn again after a resize (the notes are broken to the window's width) and after fg.
void drawPrompt(const std::string& line, const std::vector<std::string>& notes) {
    int rows = 0, columns = 0;
    readTerminalSize(rows, columns);
    std::string screen = std::string(seq::cursorHome) + seq::clearScreen + line;
    int row = 1;
    for (const std::string& text : noteRows(notes, columns)) screen += cursorTo(++row, 1) + text;
    const std::string size = windowSizeNote(rows, columns);
    if (!size.empty()) screen += cursorTo(row + 2, 1) + size;
    send(screen + cursorTo(1, static_cast<int>(line.size()) + 1));
}

}  // namespace

std::string waitForKey(const std::string& lead, const std::vector<std::string>& notes) {
    const std::string line = promptLine(lead);
    if (isatty(STDIN_FILENO)) enterRawInput();
    drawPrompt(line, notes);
    for (;;) {
        pollfd input{STDIN_FILENO, POLLIN, 0};
        // A resize interrupts the wait; the timeout only guards against a lost signal. A lone
        // Esc is settled within a few milliseconds, as the Esc key or the start of a sequence.
        const int ready = ::poll(&input, 1, typedInputPending() ? 10 : 250);
        // Any key starts, also one that sends several bytes; the terminal's answers do not.
        char keys[64];
        const size_t count = readTypedInput(keys, sizeof keys);
        if (count > 0) return std::string(keys, count);
        if (typedInputEnded()) return "";
        if (ready < 0 && errno != EINTR) return "";
        // Suspended and continued: the screen was the shell's meanwhile, so ask again, whole.
        const bool resumed = resumeAfterSuspend();
        if (takeResizeNotice() || resumed) drawPrompt(line, notes);
    }
}
