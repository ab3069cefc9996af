// The Windows console is not asked: it shows the 24-bit colours where COLORTERM says so
// (Windows Terminal), and its own 16 colours otherwise.
#include <cstdlib>

#include "platform/terminal/terminal_colors.h"

TerminalFacts learnTerminalFacts() {
    TerminalFacts facts;
    const char* colorterm = std::getenv("COLORTERM");
    if (colorterm != nullptr) facts.colorterm = colorterm;
    return facts;
}
