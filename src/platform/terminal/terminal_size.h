// What the program can ask about its standard output: whether it is a terminal, and the
// terminal's size. Used by the option checks, the key prompt and the terminal console.
#pragma once

bool outputIsTerminal();

// The window's rows and columns; a terminal that does not report them counts as 80 x 50.
void readTerminalSize(int& rows, int& columns);
