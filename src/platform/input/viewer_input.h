// What the viewer types during the show, read without waiting.
//
// The key prompt leaves standard input without echo and line buffering for the whole run
// (restored with the terminal), so typed keys never land on the picture; the frame loop
// drains them here every frame and decides what they mean.
#pragma once

#include <cstddef>

// Reads what is waiting on standard input, at most `capacity` bytes, without blocking;
// 0 when nothing is. After the end of input it always returns 0.
size_t readTypedInput(char* buffer, size_t capacity);
