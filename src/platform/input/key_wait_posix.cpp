#include "platform/input/key_wait.h"

#include <cerrno>
#include <cstdio>
#include <poll.h>
#include <unistd.h>

#include "platform/terminal/console.h"
#include "platform/terminal/terminal_io.h"
#include "platform/terminal/terminal_sequences.h"
#include "platform/terminal/terminal_size.h"

namespace {

constexpr int noteRow = 3;
int promptEndColumn = 1;  // the column after the prompt line, from 1

void send(const std::string& text) { writeToTerminal(text.data(), text.size()); }

// Rewrites the note's row and puts the cursor back after the prompt.
void showSizeNote() {
    int rows = 0, columns = 0;
    readTerminalSize(rows, columns);
    char position[32];
    std::snprintf(position, sizeof position, seq::cursorToRowFormat, noteRow);
    std::string update = std::string(position) + seq::clearLine + windowSizeNote(rows, columns);
    std::snprintf(position, sizeof position, seq::cursorToFormat, 1, promptEndColumn);
    send(update + position);
}

}  // namespace


void waitForKey(const std::string& lead) {
    const std::string line = promptLine(lead);
    promptEndColumn = static_cast<int>(line.size()) + 1;
    send(line);
    if (isatty(STDIN_FILENO)) enterRawInput();
    showSizeNote();
    for (;;) {
        pollfd input{STDIN_FILENO, POLLIN, 0};
        // A resize interrupts the wait; the timeout only guards against a lost signal.
        const int ready = ::poll(&input, 1, 250);
        if (ready > 0) {
            // One read takes the whole key, also one that sends several bytes.
            char keys[64];
            if (::read(STDIN_FILENO, keys, sizeof keys) < 0 && errno == EINTR) continue;
            return;
        }
        if (ready < 0 && errno != EINTR) return;
        // Suspended and continued: the screen was the shell's meanwhile, so ask again, whole.
        if (resumeAfterSuspend()) {
            send(std::string(seq::cursorHome) + seq::clearLine + line);
            showSizeNote();
        }
        if (takeResizeNotice()) showSizeNote();
    }
}
