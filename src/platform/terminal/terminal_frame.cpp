#include "platform/terminal/terminal_frame.h"

#include <cstring>
#include <initializer_list>

#include "platform/terminal/terminal_diff.h"
#include "platform/terminal/terminal_io.h"
#include "platform/terminal/terminal_sequences.h"

namespace {

char frameBytes[maxUpdateBytes];
TerminalScreen screen;
bool screenStarted = false;  // the size is read at the first frame and after each resize

}  // namespace

void forgetShownFrame() { forgetScreen(screen); }

void clearTerminalScreen() {
    forgetScreen(screen);
    for (const char* part : {seq::resetColors, seq::clearScreen, seq::cursorHome})
        writeToTerminal(part, std::strlen(part));
}

void sendFrame(const CellBuffer& cells, WindowSizeReader readWindowSize) {
    static const UpdateOptions options = updateOptionsFromEnvironment();
    // The flag is taken before the size is read, so a resize during the read is not lost.
    const bool resized = takeResizeNotice();
    if (resized || !screenStarted) {
        int rows = 0, columns = 0;
        readWindowSize(rows, columns);
        if (screenStarted) resizeScreen(screen, rows, columns);
        else resetScreen(screen, rows, columns);
        screenStarted = true;
    }
    const size_t count = encodeUpdate(cells, options, screen, frameBytes);
    if (count > 0) writeToTerminal(frameBytes, count);
}
