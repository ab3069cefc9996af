// For the wireframe and text tests: their drawing globals reset, a grid fill, the cells drawn, exact comparisons.
#pragma once

#include <cstring>
#include <set>
#include <utility>

#include "display/color_grid.h"
#include "driver/frame_state.h"
#include "effects/text.h"
#include "render3d/matrix.h"
#include "render3d/primitives.h"

inline void fillGrid(const Rgb& color) {
    for (auto& column : colorGrid)
        for (Rgb& cell : column) cell = color;
}

inline void resetDrawingState() {
    fillGrid(Rgb{0, 0, 0});
    std::memset(&primitiveList, 0, sizeof primitiveList);
    primitiveList.currentStyle = styleDefault;
    penColor = Rgb{0, 0, 0};
    loadIdentity();
    demoTime = 0.0f;
}

inline bool sameColor(const Rgb& a, const Rgb& b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

// The cells, as (x, y), whose colour is no longer `background`.
using Cells = std::set<std::pair<int, int>>;
inline Cells cellsNot(const Rgb& background) {
    Cells cells;
    for (int x = 0; x < gridSize; ++x)
        for (int y = 0; y < gridSize; ++y)
            if (!sameColor(colorGrid[x][y], background)) cells.insert({x, y});
    return cells;
}

inline bool samePoint(const Point3& p, float x, float y, float z) { return p.x == x && p.y == y && p.z == z; }
