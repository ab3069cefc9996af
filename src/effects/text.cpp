#include "effects/text.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "display/color_grid.h"
#include "driver/frame_state.h"
#include "render3d/float_rounding.h"

FontSheet fontSheet;

namespace {

constexpr int glyphSize = 16;
constexpr int characterAdvance = 9;
constexpr int textBufferSize = 256;  // 255 characters and the terminating zero

bool isInk(const FontSheet& font, int offset) {
    return font[offset] != 0 || font[fontPlaneBytes + offset] != 0 ||
           font[2 * fontPlaneBytes + offset] != 0;
}

// Paints one glyph with its top-left corner at (left, top); columns outer, rows inner.
void drawGlyph(const FontSheet& font, int code, int64_t left, int64_t top, const Rgb& color) {
    const int sheetBase = (code / 16) * glyphSize * fontSheetWidth + (code % 16) * glyphSize;
    for (int i = 0; i < glyphSize; ++i) {
        for (int j = 0; j < glyphSize; ++j) {
            if (!isInk(font, sheetBase + j * fontSheetWidth + i)) continue;
            penColor = color;
            const int64_t cellX = left + i;
            const int64_t cellY = top + j;
            if (cellX >= 0 && cellX < gridSize && cellY >= 0 && cellY < gridSize) {
                colorGrid[cellX][cellY] = color;
            }
        }
    }
}

}  // namespace

void drawText(float phaseStep, float waveAmplitude, float waveSpeed, const FontSheet& font,
              float r, float g, float b, int32_t x, int32_t y, const char* format, ...) {
    if (format == nullptr) return;
    char text[textBufferSize];
    va_list args;
    va_start(args, format);
    const int written = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (written <= 0) return;  // empty text, or a formatting error
    const size_t length = std::strlen(text);

    const Rgb color{r, g, b};
    const double base = static_cast<double>(demoTime) * waveSpeed;
    for (size_t k = 0; k < length; ++k) {
        const int code = static_cast<signed char>(text[k]);
        if (code <= 0) continue;  // 128..255 as signed: no glyph, but the advance stays
        const float phase = static_cast<float>(static_cast<double>(k) * phaseStep + base);
        const float s = sinFloat(phase);
        const int32_t wave = truncateToInt32(static_cast<double>(s) * waveAmplitude);
        const int64_t left = static_cast<int64_t>(x) + characterAdvance * static_cast<int64_t>(k);
        const int64_t top = static_cast<int64_t>(y) + wave;
        drawGlyph(font, code, left, top, color);
    }
}
