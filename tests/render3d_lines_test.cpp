#include <cmath>
#include <limits>
#include <set>
#include <utility>

#include <gtest/gtest.h>

#include "render3d/projection.h"
#include "render3d_test_state.h"

namespace {

using Cells = std::set<std::pair<int, int>>;

const Rgb ink{0.25f, 0.5f, 0.75f};
const Rgb background{-1, -1, -1};

Cells litCells() {
    Cells cells;
    for (int x = 0; x < gridSize; ++x)
        for (int y = 0; y < gridSize; ++y)
            if (!sameColor(colorGrid[x][y], background)) cells.insert({x, y});
    return cells;
}

Cells drawn(float sx, float sy, float ex, float ey) {
    fillGrid(background);
    drawLine(Point3{sx, sy, 0}, Point3{ex, ey, 0}, ink);
    return litCells();
}

}  // namespace

// (The projection's scale, centre and mirror are held by the golden frames.)
TEST(Render3dLines, CellsLitForKnownSegments) {
    resetDrawingState();
    struct Case { float sx, sy, ex, ey; Cells cells; };
    const Case cases[] = {
        {10.7f, 20.2f, 15.3f, 22.9f, {{10, 20}, {11, 21}, {12, 21}, {13, 22}, {14, 22}, {15, 22}}},
        {15.3f, 22.9f, 10.7f, 20.2f, {{10, 20}, {11, 21}, {12, 21}, {13, 22}, {14, 22}, {15, 22}}},
        {0, 0, 3, 1, {{0, 0}, {1, 1}, {2, 1}, {3, 1}}},
        {0, 0, 1, 3, {{0, 0}, {1, 1}, {1, 2}, {1, 3}}},
        {2, 0, 0, 5, {{2, 0}, {2, 1}, {2, 2}, {1, 3}, {1, 4}, {0, 5}}},
        {5, 5, 8, 8, {{5, 5}, {6, 6}, {7, 7}, {8, 8}}},
        {5, 5, 5.9f, 5.9f, {{5, 5}}},
        {5, 5, 6, 5, {{5, 5}, {6, 5}}},     // a walk of one step still reaches its end
        {-3, 7, 0, 7, {{0, 7}}},           // clipped to the one cell inside
        {-0.9f, 5, 2, 5, {{0, 5}, {1, 5}, {2, 5}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(drawn(c.sx, c.sy, c.ex, c.ey), c.cells) << c.sx << "," << c.sy << " -> " << c.ex << "," << c.ey;
        EXPECT_TRUE(sameColor(penColor, ink));
    }
}

TEST(Render3dLines, ExtremeCoordinatesAreDefinedAndFinishQuickly) {
    resetDrawingState();
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    const float values[] = {50, -1, 1e5f, 2147483520.0f, -2147483648.0f, 3e9f, -1e30f, inf, -inf, nan};
    const Primitive neighbour = primitiveList.items[0];
    // Out-of-grid writes and bad conversions are caught by the sanitizer build; a walk over
    // the whole 2^32 span instead of the grid would make this loop run for hours.
    for (float a : values)
        for (float b : values)
            for (float c : values)
                for (float d : values) drawLine(Point3{a, b, 0}, Point3{c, d, 0}, ink);
    EXPECT_EQ(std::memcmp(&neighbour, &primitiveList.items[0], sizeof neighbour), 0);
}

