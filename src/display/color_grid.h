// The drawing surface: a 100 x 100 grid of float RGB cells, the pen and the clear colour.
//
// Owns `colorGrid`, `penColor` and `clearColor`. Every effect and the line drawer write
// into the grid; `clearGrid` (called by the driver each frame and by scenes that want
// another background) fills the shown area; `presentFrame` turns it into console cells.
// Only columns 0..width-1 and rows 0..2*height-1 (80 x 100) are ever shown.
#pragma once

struct Rgb {
    float r, g, b;
};

constexpr int gridSize = 100;

// Column by column: colorGrid[x][y] is column x, row y, row 0 at the top.
using ColorGrid = Rgb[gridSize][gridSize];

extern ColorGrid colorGrid;
extern Rgb penColor;    // the colour the last writer of the grid used
extern Rgb clearColor;  // what clearGrid writes

// True for a cell that exists in the grid; every writer checks it before storing.
inline bool insideGrid(int x, int y) {
    return x >= 0 && x < gridSize && y >= 0 && y < gridSize;
}

// Fills columns 0..width-1, rows 0..2*height-1 with clearColor; columns beyond keep their colours.
void clearGrid();
