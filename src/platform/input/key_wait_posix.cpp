#include "platform/input/key_wait.h"

#include <cerrno>
#include <cstdio>
#include <poll.h>
#include <unistd.h>

#include "platform/input/viewer_input.h"
#include "platform/terminal/console.h"
#include "platform/terminal/terminal_io.h"
#include "platform/terminal/terminal_sequences.h"
#include "platform/terminal/terminal_size.h"

namespace {

constexpr int firstNoteRow = 3;
int noteRow = firstNoteRow;  // the window size note's row, below the driver's notes
int promptEndColumn = 1;  // the column after the prompt line, from 1
std::string notesText;     // the driver's notes, each positioned on its row

void send(const std::string& text) { writeToTerminal(text.data(), text.size()); }

// Rewrites the note's row and puts the cursor back after the prompt.
void showSizeNote() {
    int rows = 0, columns = 0;
    readTerminalSize(rows, columns);
    char position[32];
    std::snprintf(position, sizeof position, seq::cursorToRowFormat, noteRow);
    std::string update = notesText + position + seq::clearLine + windowSizeNote(rows, columns);
    std::snprintf(position, sizeof position, seq::cursorToFormat, 1, promptEndColumn);
    send(update + position);
}

}  // namespace


void waitForKey(const std::string& lead, const std::vector<std::string>& notes) {
    const std::string line = promptLine(lead);
    notesText.clear();
    noteRow = firstNoteRow;
    for (const std::string& note : notes) {
        char position[32];
        std::snprintf(position, sizeof position, seq::cursorToRowFormat, noteRow++);
        notesText += std::string(position) + seq::clearLine + note;
    }
    promptEndColumn = static_cast<int>(line.size()) + 1;
    send(line);
    if (isatty(STDIN_FILENO)) enterRawInput();
    showSizeNote();
    for (;;) {
        pollfd input{STDIN_FILENO, POLLIN, 0};
        // A resize interrupts the wait; the timeout only guards against a lost signal. A lone
        // Esc is settled within a few milliseconds, as the Esc key or the start of a sequence.
        const int ready = ::poll(&input, 1, typedInputPending() ? 10 : 250);
        // Any key starts, also one that sends several bytes; the terminal's answers do not.
        char keys[64];
        if (readTypedInput(keys, sizeof keys) > 0 || typedInputEnded()) return;
        if (ready < 0 && errno != EINTR) return;
        // Suspended and continued: the screen was the shell's meanwhile, so ask again, whole.
        if (resumeAfterSuspend()) {
            send(std::string(seq::cursorHome) + seq::clearLine + line);
            showSizeNote();
        }
        if (takeResizeNotice()) showSizeNote();
    }
}
