// Bitmap-font text on a travelling sine wave: the font sheet format and `drawText`.
//
// A font sheet is three planes of 256 x 250 bytes; glyph c is the 16 x 16 block at
// column 16*(c%16), row 16*(c/16). A pixel is ink where any plane is non-zero. Owns
// `fontSheet`, which start-up fills from the data files; the timeline and the word
// scroller draw with it.
#pragma once

#include <cstdint>

constexpr int fontSheetWidth = 256;
constexpr int fontSheetHeight = 250;
constexpr int fontPlaneBytes = fontSheetWidth * fontSheetHeight;
constexpr int fontSheetBytes = 196608;  // the load buffer: three planes and zero padding

using FontSheet = uint8_t[fontSheetBytes];

extern FontSheet fontSheet;

// Formats `format` printf-style (at most 255 characters; longer text is cut) and paints
// each character's ink pixels in (r, g, b), character k at column x + 9k and row
// y + wave, where wave = trunc(sin(k * phaseStep + demoTime * waveSpeed) * waveAmplitude).
// Codes 128..255 have no glyph: they draw nothing but still take their 9 columns.
// Pixels outside the 100 x 100 grid are skipped. A null format draws nothing.
void drawText(float phaseStep, float waveAmplitude, float waveSpeed, const FontSheet& font,
              float r, float g, float b, int32_t x, int32_t y, const char* format, ...)
    __attribute__((format(printf, 10, 11)));
