#include "platform/input/key_wait.h"

#include "platform/terminal/console.h"

std::string promptLine(const std::string& lead) { return lead + "Press any key to continue . . . "; }

std::string windowSizeNote(int rows, int columns) {
    if (rows >= consoleRows && columns >= consoleColumns) return "";
    return "This window is " + std::to_string(columns) + " x " + std::to_string(rows) + "; the show needs " +
           std::to_string(consoleColumns) + " x " + std::to_string(consoleRows) + ".";
}
