// Bitmap-font text on a travelling sine wave: the font sheet format and `drawText`.
//
// A font sheet is three planes of 256 x 250 bytes; glyph c is the 16 x 16 block at
// column 16*(c%16), row 16*(c/16). A pixel is ink where any plane is non-zero.
#pragma once

#include <cstdint>

constexpr int fontSheetWidth = 256;
constexpr int fontSheetHeight = 250;
constexpr int fontPlaneBytes = fontSheetWidth * fontSheetHeight;
constexpr int fontSheetBytes = 196608;  // the load buffer: three planes and zero padding

using FontSheet = uint8_t[fontSheetBytes];
