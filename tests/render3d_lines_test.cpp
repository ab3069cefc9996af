#include <cmath>
#include <limits>
#include <random>
#include <set>
#include <utility>

#include <gtest/gtest.h>

#include "render3d/models.h"
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

// The walk one step at a time over the whole major axis, for moderate coordinates.
Cells naiveLine(float fsx, float fsy, float fex, float fey) {
    Cells cells;
    auto plot = [&](long long x, long long y) {
        if (x >= 0 && x < 100 && y >= 0 && y < 100) cells.insert({int(x), int(y)});
    };
    const int sx = int(fsx), sy = int(fsy), ex = int(fex), ey = int(fey);
    const int dx = ex - sx, dy = ey - sy;
    plot(sx, sy);
    const bool xMajor = std::abs(dx) > std::abs(dy);
    if (!xMajor && dy == 0) return cells;
    const int from = xMajor ? sx : sy, to = xMajor ? ex : ey, minor = xMajor ? sy : sx;
    const int step = to >= from ? 1 : -1;
    const float slope = float(double(xMajor ? dy : dx) / (xMajor ? dx : dy));
    const float c = float(minor - from * double(slope));
    for (int m = from + step;; m += step) {
        const long long n = (long long)std::ceil(double(float(m * double(slope) + c)));
        xMajor ? plot(m, n) : plot(n, m);
        if (m == to) break;
    }
    return cells;
}

void flushQueue() {
    for (int32_t i = 0; i < primitiveList.count; ++i) {
        projectPrimitive(primitiveList.items[i]);
        drawPrimitiveEdges(primitiveList.items[i]);
    }
}

}  // namespace

TEST(Render3dProjection, ScalesCentresAndMirrorsBehindTheViewer) {
    resetDrawingState();
    struct Case { Point3 in; float x, y; };
    const Case cases[] = {
        {{0, 0, -15}, 40, 50},
        {{1, 1, -14}, 32.021168f, 59.973541f},
        {{-1, -1, -16}, 46.981476f, 41.273155f},
        {{1, 1, 14}, 47.978832f, 40.026459f},
        {{1, 1, 0}, 111743.64f, -139579.53f},
        {{1, 1, -0.0f}, 111743.64f, -139579.53f},
    };
    for (const Case& c : cases) {
        Primitive p{};
        for (Point3& point : p.points) point = c.in;
        projectPrimitive(p);
        EXPECT_TRUE(samePoint(p.points[3], c.x, c.y, c.in.z)) << p.points[3].x << "," << p.points[3].y;
    }
}

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
        {-0.9f, 5, 2, 5, {{0, 5}, {1, 5}, {2, 5}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(drawn(c.sx, c.sy, c.ex, c.ey), c.cells) << c.sx << "," << c.sy << " -> " << c.ex << "," << c.ey;
        EXPECT_TRUE(sameColor(penColor, ink));
    }
}

TEST(Render3dLines, AgreesWithTheStepByStepWalk) {
    resetDrawingState();
    std::mt19937 rng(12345);
    std::uniform_real_distribution<float> near(-30.0f, 130.0f), far(-250000.0f, 250000.0f);
    for (int i = 0; i < 3000; ++i) {
        float v[4];
        for (float& f : v) f = (i % 3 == 2 && (rng() & 1)) ? far(rng) : near(rng);
        ASSERT_EQ(drawn(v[0], v[1], v[2], v[3]), naiveLine(v[0], v[1], v[2], v[3]))
            << v[0] << "," << v[1] << " -> " << v[2] << "," << v[3];
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

TEST(Render3dLines, QuadsStayOpenAndLaterPrimitivesWin) {
    // Edge (-1,1,-1)-(1,1,-1) (row 58) is face 2's path 1 -> 2 and would be face 3's
    // closing side 3 -> 0 if quads were closed. Edge (-1,-1,1)-(1,-1,1) (row 40) is drawn by
    // face 1 and again, later, by face 4.
    resetDrawingState();
    translate(0, 0, -15);
    drawCube();
    flushQueue();
    const Primitive* faces = primitiveList.items;
    EXPECT_TRUE(sameColor(colorGrid[40][40], faces[3].colors[0]));
    EXPECT_FALSE(sameColor(colorGrid[40][40], faces[0].colors[0]));
    EXPECT_TRUE(sameColor(colorGrid[40][58], faces[1].colors[0]));
}
