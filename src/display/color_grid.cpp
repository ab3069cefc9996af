#include "display/color_grid.h"

#include "display/display_config.h"

ColorGrid colorGrid;
Rgb penColor;
Rgb clearColor;

void clearGrid() {
    const int rows = 2 * displayConfig.height;
    for (int x = 0; x < displayConfig.width; ++x) {
        for (int y = 0; y < rows; ++y) colorGrid[x][y] = clearColor;
    }
}
