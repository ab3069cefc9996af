// The console on a POSIX terminal: set-up as escape sequences, frames as half blocks.
// Each frame sends only what differs from the screen it left (terminal_diff.h), inside a
// synchronized update; a window resize, noted by the signal handler, is applied by the
// next frame, which then repaints. The window's size is never changed: many terminals
// ignore such a request, and one that honours it would keep the size after the show.
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/console.h"
#include "platform/terminal_diff.h"
#include "platform/terminal_io.h"
#include "platform/terminal_sequences.h"
#include "platform/terminal_size.h"
#include "platform/terminal_stream.h"

namespace {

// The attribute a terminal reports as current: its own default colours.
constexpr uint16_t defaultAttribute = 0x07;

char frameBytes[maxUpdateBytes];

// What the terminal shows now; the size is read at the first frame and after each resize.
TerminalScreen screen;
bool screenStarted = false;
std::string shownTitle;  // sent again after a suspension, which gives the old title back

void send(const char* text) {
    size_t length = 0;
    while (text[length] != '\0') ++length;
    writeToTerminal(text, length);
}

void hideCursor() {
    takeOverTerminal();
    send(seq::hideCursor);
}

void sendTitle() {
    send(seq::titlePrefix);
    send(shownTitle.c_str());
    send(seq::titleEnd);
}

void setTitle(const char* title) {
    takeOverTerminal();
    shownTitle = title != nullptr ? title : "";
    sendTitle();
}

void setRawOutput() {
    takeOverTerminal();
    send(seq::autowrapOff);
}

// The window keeps its size; the key prompt tells the viewer when it is too small.
void setSize(int, int) { takeOverTerminal(); }

int bufferColumns() {
    int rows = 0, columns = 0;
    readTerminalSize(rows, columns);
    return columns;
}

uint16_t currentAttribute() { return defaultAttribute; }

// Clearing fills every cell; in the default colours when given the default attribute.
void fillAttribute(uint16_t, int) {
    takeOverTerminal();
    forgetScreen(screen);
    send(seq::resetColors);
    send(seq::clearScreen);
    send(seq::cursorHome);
}


void writeCells(const CellBuffer& cells) {
    takeOverTerminal();
    static const UpdateOptions options = updateOptionsFromEnvironment();
    // The flag is taken before the size is read, so a resize during the read is not lost.
    const bool resized = takeResizeNotice();
    if (takeScreenLostNotice()) {
        forgetScreen(screen);
        sendTitle();
    }
    if (resized || !screenStarted) {
        int rows = 0, columns = 0;
        readTerminalSize(rows, columns);
        if (screenStarted) resizeScreen(screen, rows, columns);
        else resetScreen(screen, rows, columns);
        screenStarted = true;
    }
    const size_t count = encodeUpdate(cells, options, screen, frameBytes);
    if (count > 0) writeToTerminal(frameBytes, count);
}

const Console backend = {
    hideCursor, setTitle, setRawOutput, setSize, bufferColumns, currentAttribute, fillAttribute,
    writeCells,
};

}  // namespace

const Console* terminalConsole() { return &backend; }
