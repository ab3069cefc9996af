// Turning the colour grid into console cells, once per frame.
//
// Owns `cellBuffer` and the 16-colour thresholds: a channel counts above 0.3, a cell is
// bright when r + g + b reaches 1.8. Each console cell shows the lower half block with the
// lower grid cell as foreground and the upper one as background. The driver calls
// `presentFrame` after the scenes have drawn; it also draws the queued wireframes first.
#pragma once

#include <cstdint>

#include "display/color_grid.h"
#include "platform/console.h"

constexpr uint16_t halfBlockCharacter = 220;  // lower half block in code page 437

// Product of the primes of the tests a cell passes: red 3, green 7, blue 11, bright 13.
int32_t colorCode(const Rgb& cell);

// Foreground and background bit for each prime, in the order red, green, blue, bright.
extern const int32_t cellAttributeBits[8];

// codes[0] gives the foreground, codes[1] the background.
int32_t cellAttribute(const int32_t* codes);

// The same tests as colorCode, straight to foreground bits: what
// cellAttribute({colorCode(cell), ...}) gives, without the divisions. Used per frame.
int32_t colorBits(const Rgb& cell);

extern CellBuffer cellBuffer;

// Draws the queued primitives, encodes the shown area, writes it and empties the queue.
void presentFrame();
