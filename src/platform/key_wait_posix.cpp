#include "platform/key_wait.h"

#include <cerrno>
#include <unistd.h>

#include "platform/terminal_io.h"

void waitForKey() {
    static const char prompt[] = "Press any key to continue . . . ";
    writeToTerminal(prompt, sizeof prompt - 1);
    const bool raw = isatty(STDIN_FILENO) && enterRawInput();
    char key;
    while (::read(STDIN_FILENO, &key, 1) < 0 && errno == EINTR) {
    }
    if (raw) restoreInputMode();
}
