#include "platform/terminal/console.h"

static const Console* selectedConsole;

const Console* activeConsole() {
    return selectedConsole != nullptr ? selectedConsole : terminalConsole();
}

void selectConsole(const Console* console) { selectedConsole = console; }
