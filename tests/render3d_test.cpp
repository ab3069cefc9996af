// The wireframe maths: a product's rounding, primitives, the cells a line lights (rotations, the order of a
// composition, the projection and the models: golden frames).
#include <limits>
#include <tuple>

#include <gtest/gtest.h>

#include "render3d/projection.h"
#include "render3d_test_state.h"

const Rgb ink{0.25f, 0.5f, 0.75f};  // a const at namespace scope is local to this file
const Rgb background{-1, -1, -1};

// Products sum in double and round once: 2^24 + 1 + 1 in float would stay 2^24.
TEST(Render3dMatrix, ProductsRoundOnceFromDouble) {
    Matrix4 left{}, right{}, out{};
    left.m[0] = 16777216.0f;
    left.m[1] = left.m[2] = right.m[0] = right.m[4] = right.m[8] = 1.0f;
    multiplyMatrix(left, right, out);
    EXPECT_EQ(out.m[0], 16777218.0f);
}

TEST(Render3dPrimitives, TrianglesCloseQuadsDoNotAndSurplusIsDropped) {
    resetDrawingState();
    translate(0, 0, -15);
    penColor = Rgb{0.5f, 0, 0};
    primitiveList.currentKind = kindTriangle;
    addVertex(1, -1, 1);
    penColor = Rgb{0, 0.5f, 0};
    addVertex(2, 0, 0);
    translate(100, 0, 0);  // a queued vertex keeps its value
    addVertex(0, 3, 0);
    endPrimitive();
    const Primitive& triangle = primitiveList.items[0];
    EXPECT_TRUE(samePoint(triangle.points[1], 2, 0, -15) && samePoint(triangle.points[3], 1, -1, -14) &&
                sameColor(triangle.colors[3], Rgb{0.5f, 0, 0}) && triangle.kind == kindTriangle);

    primitiveList.currentKind = kindQuad;
    for (int i = 0; i < 6; ++i) addVertex(float(i), 0, 0);  // the 5th and 6th are dropped
    endPrimitive();
    const Primitive& quad = primitiveList.items[1];
    EXPECT_TRUE(samePoint(quad.points[3], 103, 0, -15));
    for (const Rgb& c : quad.colors) EXPECT_TRUE(sameColor(c, penColor));  // no 5th vertex in them
    EXPECT_TRUE(samePoint(primitiveList.items[2].points[0], 0, 0, 0));
    EXPECT_EQ(std::tuple(quad.kind, quad.style, primitiveList.count, primitiveList.currentKind, primitiveList.vertexCursor),
              std::tuple(kindQuad, styleDefault, 2, kindNone, 0));

    primitiveList.count = primitiveCapacity;
    primitiveList.currentKind = kindTriangle;
    addVertex(7, 7, 7);
    endPrimitive();
    EXPECT_EQ(primitiveList.count, primitiveCapacity);
}

TEST(Render3dLines, CellsLitForKnownSegments) {
    resetDrawingState();
    const Cells slope{{10, 20}, {11, 21}, {12, 21}, {13, 22}, {14, 22}, {15, 22}};
    const struct { float sx, sy, ex, ey; Cells cells; } cases[] = {
        {10.7f, 20.2f, 15.3f, 22.9f, slope}, {15.3f, 22.9f, 10.7f, 20.2f, slope},
        {0, 0, 3, 1, {{0, 0}, {1, 1}, {2, 1}, {3, 1}}}, {0, 0, 1, 3, {{0, 0}, {1, 1}, {1, 2}, {1, 3}}},
        {2, 0, 0, 5, {{2, 0}, {2, 1}, {2, 2}, {1, 3}, {1, 4}, {0, 5}}},
        {5, 5, 8, 8, {{5, 5}, {6, 6}, {7, 7}, {8, 8}}}, {5, 5, 5.9f, 5.9f, {{5, 5}}},
        {5, 5, 6, 5, {{5, 5}, {6, 5}}},  // a walk of one step still reaches its end
        {-3, 7, 0, 7, {{0, 7}}},         // clipped to the one cell inside
        {-0.9f, 5, 2, 5, {{0, 5}, {1, 5}, {2, 5}}},
    };
    for (const auto& c : cases) {
        fillGrid(background);
        drawLine(Point3{c.sx, c.sy, 0}, Point3{c.ex, c.ey, 0}, ink);
        EXPECT_EQ(cellsNot(background), c.cells) << c.sx << "," << c.sy << " -> " << c.ex << "," << c.ey;
        EXPECT_TRUE(sameColor(penColor, ink));
    }
}

TEST(Render3dLines, ExtremeCoordinatesAreDefinedAndFinishQuickly) {
    resetDrawingState();
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    const float values[] = {50, -1, 1e5f, 2147483520.0f, -2147483648.0f, 3e9f, -1e30f, inf, -inf, nan};
    const Primitive neighbour = primitiveList.items[0];
    // The sanitizer build catches out-of-grid writes; walking the whole 2^32 span, not the grid, would take hours.
    for (float a : values)
        for (float b : values)
            for (float c : values)
                for (float d : values) drawLine(Point3{a, b, 0}, Point3{c, d, 0}, ink);
    EXPECT_EQ(std::memcmp(&neighbour, &primitiveList.items[0], sizeof neighbour), 0);
}
