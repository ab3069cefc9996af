#include "platform/terminal/terminal_stream.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/terminal/console_palette.h"

ColorMode colorModeFromEnvironment(const char* colorterm) {
    if (colorterm != nullptr &&
        (std::strcmp(colorterm, "truecolor") == 0 || std::strcmp(colorterm, "24bit") == 0)) {
        return ColorMode::truecolor;
    }
    return ColorMode::ansi16;
}

ColorMode terminalColorMode = colorModeFromEnvironment(std::getenv("COLORTERM"));

int ansiColorIndex(int nibble) {
    return ((nibble & 4) ? 1 : 0) | (nibble & 2) | ((nibble & 1) ? 4 : 0) | (nibble & 8);
}

namespace {

// The colours xterm and most terminals give entries 16 to 255: a 6 x 6 x 6 cube, then 24 greys.
PaletteColor cubeColor(int index) {
    if (index >= 232) {
        const int level = 8 + 10 * (index - 232);
        return {static_cast<uint8_t>(level), static_cast<uint8_t>(level), static_cast<uint8_t>(level)};
    }
    static constexpr int levels[6] = {0, 95, 135, 175, 215, 255};
    const int cube = index - 16;
    return {static_cast<uint8_t>(levels[cube / 36]), static_cast<uint8_t>(levels[cube / 6 % 6]),
            static_cast<uint8_t>(levels[cube % 6])};
}

int distance(const PaletteColor& a, const PaletteColor& b) {
    const int r = a.r - b.r, g = a.g - b.g, bl = a.b - b.b;
    return r * r + g * g + bl * bl;
}

}  // namespace

int nearestCubeColor(int nibble) {
    const PaletteColor& wanted = consolePalette[nibble & 15];
    int best = 16;
    for (int index = 17; index < 256; ++index) {
        if (distance(cubeColor(index), wanted) < distance(cubeColor(best), wanted)) best = index;
    }
    return best;
}

size_t colorParameters(int nibble, bool background, ColorMode mode, char* out) {
    const int layer = background ? 48 : 38;
    if (mode == ColorMode::truecolor) {
        const PaletteColor& c = consolePalette[nibble & 15];
        return static_cast<size_t>(std::sprintf(out, "%d;2;%d;%d;%d", layer, c.r, c.g, c.b));
    }
    if (mode == ColorMode::cube256) {
        return static_cast<size_t>(std::sprintf(out, "%d;5;%d", layer, nearestCubeColor(nibble)));
    }
    // The 16 ANSI colours; in palette mode the terminal shows them in the show's colours.
    const int index = ansiColorIndex(nibble);
    const int base = background ? (index & 8 ? 100 : 40) : (index & 8 ? 90 : 30);
    return static_cast<size_t>(std::sprintf(out, "%d", base + (index & 7)));
}
