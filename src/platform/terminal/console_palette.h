// The console's 16 colours, indexed by an attribute nibble (intensity 8, red 4, green 2,
// blue 1). Used by the terminal's 24-bit colour mode and by captured pictures, so the two
// always agree.
#pragma once

#include <cstdint>

struct PaletteColor {
    uint8_t r, g, b;
};

inline constexpr PaletteColor consolePalette[16] = {
    {0, 0, 0},     {0, 0, 128},   {0, 128, 0},   {0, 128, 128},
    {128, 0, 0},   {128, 0, 128}, {128, 128, 0}, {192, 192, 192},
    {128, 128, 128}, {0, 0, 255}, {0, 255, 0},   {0, 255, 255},
    {255, 0, 0},   {255, 0, 255}, {255, 255, 0}, {255, 255, 255},
};
