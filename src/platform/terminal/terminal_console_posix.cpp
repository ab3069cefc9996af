// The console on a POSIX terminal: set-up as escape sequences, frames as half blocks.
// Each frame sends only what differs from the screen it left (terminal_frame.h), inside a
// synchronized update; a window resize, noted by the signal handler, is applied by the
// next frame, which then repaints. The window's size is never changed: many terminals
// ignore such a request, and one that honours it would keep the size after the show.
#include <cstring>
#include <string>

#include "platform/terminal/console.h"
#include "platform/terminal/terminal_frame.h"
#include "platform/terminal/terminal_io.h"
#include "platform/terminal/terminal_sequences.h"
#include "platform/terminal/terminal_size.h"

namespace {

// The attribute a terminal reports as current: its own default colours.
constexpr uint16_t defaultAttribute = 0x07;

std::string shownTitle;  // sent again after a suspension, which gives the old title back

void send(const char* text) { writeToTerminal(text, std::strlen(text)); }

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
    clearTerminalScreen();
}

// After Ctrl-Z and fg the shell has drawn over the screen and put its own title back.
void writeCells(const CellBuffer& cells) {
    takeOverTerminal();
    if (takeScreenLostNotice()) {
        forgetShownFrame();
        sendTitle();
    }
    sendFrame(cells, readTerminalSize);
}

const Console backend = {
    hideCursor, setTitle, setRawOutput, setSize, bufferColumns, currentAttribute, fillAttribute,
    writeCells,
};

}  // namespace

const Console* terminalConsole() { return &backend; }
