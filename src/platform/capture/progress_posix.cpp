#include "platform/capture/progress.h"

#include <sys/ioctl.h>
#include <unistd.h>

int errorTerminalColumns() {
    if (!isatty(STDERR_FILENO)) return 0;
    struct winsize size;
    return ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : 80;
}
