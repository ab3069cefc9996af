// The console on a POSIX terminal: set-up as escape sequences, frames as half blocks.
#include <cstdio>
#include <cstdlib>
#include <sys/ioctl.h>
#include <unistd.h>

#include "platform/console.h"
#include "platform/terminal_io.h"
#include "platform/terminal_sequences.h"
#include "platform/terminal_stream.h"

namespace {

// The attribute a terminal reports as current: its own default colours.
constexpr uint16_t defaultAttribute = 0x07;

char frameBytes[maxFrameBytes];

void send(const char* text) {
    size_t length = 0;
    while (text[length] != '\0') ++length;
    writeToTerminal(text, length);
}

void hideCursor() {
    takeOverTerminal();
    send(seq::hideCursor);
}

void setTitle(const char* title) {
    takeOverTerminal();
    send(seq::titlePrefix);
    send(title != nullptr ? title : "");
    send(seq::titleEnd);
}

void setRawOutput() {
    takeOverTerminal();
    send(seq::autowrapOff);
}

// Asks the terminal window to take the size; many terminals ignore the request.
void setSize(int columns, int rows) {
    takeOverTerminal();
    char request[32];
    std::snprintf(request, sizeof request, seq::resizeFormat, rows, columns);
    send(request);
}

int bufferColumns() {
    struct winsize size;
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    return consoleColumns;
}

uint16_t currentAttribute() { return defaultAttribute; }

// Clearing fills every cell; in the default colours when given the default attribute.
void fillAttribute(uint16_t, int) {
    takeOverTerminal();
    send(seq::resetColors);
    send(seq::clearScreen);
    send(seq::cursorHome);
}

void writeCells(const CellBuffer& cells) {
    takeOverTerminal();
    static const ColorMode mode = colorModeFromEnvironment(std::getenv("COLORTERM"));
    const size_t count = encodeFrame(cells, mode, frameBytes);
    writeToTerminal(frameBytes, count);
}

const Console backend = {
    hideCursor, setTitle, setRawOutput, setSize, bufferColumns, currentAttribute, fillAttribute,
    writeCells,
};

}  // namespace

const Console* terminalConsole() { return &backend; }
