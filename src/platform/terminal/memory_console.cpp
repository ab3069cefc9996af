#include "platform/terminal/memory_console.h"

#include <algorithm>
#include <cstring>

MemoryConsoleState memoryConsoleState;

namespace {

constexpr uint16_t memoryDefaultAttribute = 0x07;

void hideCursor() { ++memoryConsoleState.hideCursorCalls; }
void setTitle(const char* title) { memoryConsoleState.title = title; }
void setRawOutput() { ++memoryConsoleState.rawOutputCalls; }
void setSize(int columns, int rows) {
    memoryConsoleState.columns = columns;
    memoryConsoleState.rows = rows;
}
int bufferColumns() { return memoryConsoleState.columns; }
uint16_t currentAttribute() { return memoryDefaultAttribute; }

// Like a console buffer, the fill stops at the buffer's end.
void fillAttribute(uint16_t attribute, int cellCount) {
    const int cells = std::min(cellCount, memoryConsoleState.columns * memoryConsoleState.rows);
    memoryConsoleState.filledCells = cells;
    memoryConsoleState.fillAttribute = attribute;
}

void writeCells(const CellBuffer& cells) {
    std::memcpy(memoryConsoleState.cells, cells, sizeof(CellBuffer));
    ++memoryConsoleState.framesWritten;
}

const Console console = {
    hideCursor, setTitle, setRawOutput, setSize, bufferColumns, currentAttribute, fillAttribute,
    writeCells,
};

}  // namespace

const Console* memoryConsole() { return &console; }
