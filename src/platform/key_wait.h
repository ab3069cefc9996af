// Waiting for the viewer to press a key.
//
// Called once by the driver after its own prompt text. Prints the console's
// "Press any key to continue . . . " on the same line and returns after one key (or
// one byte, or end of input, when standard input is not a terminal).
#pragma once

void waitForKey();
