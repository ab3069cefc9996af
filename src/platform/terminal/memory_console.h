// An off-screen console: remembers what set-up did and the last frame written.
//
// Selected for capture and tests, where there is no terminal. Nothing is printed.
#pragma once

#include "platform/terminal/console.h"

struct MemoryConsoleState {
    int hideCursorCalls;
    const char* title;
    int rawOutputCalls;
    int columns, rows;
    int filledCells;
    uint16_t fillAttribute;
    int framesWritten;
    CellBuffer cells;  // the last frame written
};

extern MemoryConsoleState memoryConsoleState;

const Console* memoryConsole();
