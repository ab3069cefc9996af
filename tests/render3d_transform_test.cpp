#include <cmath>

#include <gtest/gtest.h>

#include "render3d/models.h"
#include "render3d_test_state.h"

namespace {

Point3 transformed(float x, float y, float z) {
    Point3 p{x, y, z};
    transformPoint(p, p);  // in and out may alias
    return p;
}

}  // namespace

// Each axis's rotation sign and the order of a composition; the golden frames hold the
// rest of the wireframe maths.
TEST(Render3dMatrix, CompositionOrderRotationSignsAndRoundingInDouble) {
    resetDrawingState();
    const float a = 0.7f, c = float(std::cos(double{a})), s = float(std::sin(double{a}));
    translate(0, 0, -15);
    rotateEuler(0, 0, a);  // acts first: about the model's origin, then the move
    EXPECT_TRUE(samePoint(transformed(1, 0, 0), c, s, -15));
    loadIdentity();
    rotateEuler(a, 0, 0);
    EXPECT_TRUE(samePoint(transformed(0, 1, 0), 0, c, s));
    loadIdentity();
    rotateEuler(0, a, 0);
    EXPECT_TRUE(samePoint(transformed(1, 0, 0), c, 0, -s));

    // Products sum in double and round once: 2^24 + 1 + 1 in float would stay 2^24.
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
    const Primitive& t = primitiveList.items[0];
    EXPECT_TRUE(samePoint(t.points[1], 2, 0, -15));
    EXPECT_TRUE(samePoint(t.points[3], 1, -1, -14));
    EXPECT_TRUE(sameColor(t.colors[3], Rgb{0.5f, 0, 0}));
    EXPECT_EQ(t.kind, kindTriangle);

    primitiveList.currentKind = kindQuad;
    for (int i = 0; i < 6; ++i) addVertex(float(i), 0, 0);  // the 5th and 6th are dropped
    endPrimitive();
    EXPECT_TRUE(samePoint(primitiveList.items[1].points[3], 103, 0, -15));
    for (const Rgb& c : primitiveList.items[1].colors) EXPECT_TRUE(sameColor(c, penColor));  // no 5th vertex in them
    EXPECT_EQ(primitiveList.items[1].kind, kindQuad);
    EXPECT_EQ(primitiveList.items[1].style, styleDefault);
    EXPECT_TRUE(samePoint(primitiveList.items[2].points[0], 0, 0, 0));
    EXPECT_EQ(primitiveList.count, 2);
    EXPECT_EQ(primitiveList.currentKind, kindNone);
    EXPECT_EQ(primitiveList.vertexCursor, 0);

    primitiveList.count = primitiveCapacity;
    primitiveList.currentKind = kindTriangle;
    addVertex(7, 7, 7);
    endPrimitive();
    EXPECT_EQ(primitiveList.count, primitiveCapacity);
}

