// In a web page the console is the page's picture: the off-screen console the page reads
// after each frame (browser_show.h).
#include "platform/terminal/console.h"
#include "platform/terminal/memory_console.h"

const Console* terminalConsole() { return memoryConsole(); }
