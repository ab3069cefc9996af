#include "platform/terminal/terminal_size.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include "platform/terminal/console.h"

bool outputIsTerminal() { return isatty(STDOUT_FILENO) == 1; }

void readTerminalSize(int& rows, int& columns) {
    struct winsize size;
    const bool known = ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_row > 0 && size.ws_col > 0;
    rows = known ? size.ws_row : consoleRows;
    columns = known ? size.ws_col : consoleColumns;
}
