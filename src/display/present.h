// Turning the colour grid into console cells, once per frame.
//
// Owns `cellBuffer` and the 16-colour thresholds: a channel counts above 0.3, a cell is
// bright when r + g + b reaches 1.8. Each console cell shows the lower half block with the
// lower grid cell as foreground and the upper one as background. The driver calls
// `presentFrame` after the scenes have drawn; it also draws the queued wireframes first.
#pragma once

#include <cstdint>

#include "display/color_grid.h"
#include "platform/terminal/console.h"

constexpr float channelThreshold = 0.3f;
constexpr float brightThreshold = 1.8f;

// The console's 4 colour bits for one grid cell: red 4, green 2, blue 1 for each channel
// above channelThreshold, and 8 (bright) when r + g + b, summed in double, reaches
// brightThreshold. NaN never counts.
int32_t colorBits(const Rgb& cell);

extern CellBuffer cellBuffer;

// Draws the queued primitives, encodes the shown area, writes it and empties the queue.
void presentFrame();
