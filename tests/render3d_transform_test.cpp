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

TEST(Render3dMatrix, CompositionOrderRotationSignsAndSwitches) {
    resetDrawingState();
    const float a = 0.7f, c = float(std::cos(double{a})), s = float(std::sin(double{a}));
    const float halfPi = 1.57079637f;
    translate(0, 0, -15);
    rotateEuler(0, 0, a);  // acts first: about the model's origin, then the move
    EXPECT_TRUE(samePoint(transformed(1, 0, 0), c, s, -15));
    loadIdentity();
    rotateEuler(a, 0, 0);
    EXPECT_TRUE(samePoint(transformed(0, 1, 0), 0, c, s));
    loadIdentity();
    rotateEuler(0, a, 0);
    EXPECT_TRUE(samePoint(transformed(1, 0, 0), c, 0, -s));
    loadIdentity();
    rotateEuler(0, 0, halfPi);
    EXPECT_TRUE(samePoint(transformed(1, 0, 0), -0.000000043711388f, 1, 0));

    // rotateEuler turns about z first, rotateAxes about x first: (0, 1, 0) ends opposite.
    loadIdentity();
    rotateEuler(halfPi, halfPi, halfPi);
    EXPECT_NEAR(transformed(0, 1, 0).y, -1, 1e-6);
    loadIdentity();
    demoTime = halfPi;
    rotateAxes(1, 1, 1);
    EXPECT_NEAR(transformed(0, 1, 0).y, 1, 1e-6);

    // Column 3 is never read; switches below 1.0 or NaN are off.
    const Point3 plain = transformed(0.25f, -2, 7);
    for (int r = 0; r < 4; ++r) currentMatrix.m[4 * r + 3] = 99.0f + r;
    EXPECT_TRUE(samePoint(transformed(0.25f, -2, 7), plain.x, plain.y, plain.z));
    loadIdentity();
    const Matrix4 identity = currentMatrix;
    rotateAxes(0.999f, NAN, 0);
    EXPECT_EQ(std::memcmp(&identity, &currentMatrix, sizeof identity), 0);

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

TEST(Render3dModels, CubeColoursComeFromTheRandomSequence) {
    resetDrawingState();
    translate(0, 0, -15);
    drawCube();
    // The generator's first draws 41, 18467, 6334 colour the first face.
    for (const Rgb& c : primitiveList.items[0].colors)
        EXPECT_TRUE(sameColor(c, Rgb{1.5220139f, 1.6581676f, 1.9873393f}));
    EXPECT_TRUE(samePoint(primitiveList.items[0].points[0], -1, -1, -14));
    penColor = Rgb{1, 1, 1};
    drawSpikedCube();
    EXPECT_EQ(primitiveList.count, 30);
    EXPECT_TRUE(samePoint(primitiveList.items[29].points[2], 0, 0, -18));
    EXPECT_TRUE(sameColor(primitiveList.items[29].colors[3], Rgb{1, 1, 1}));
}

namespace {

// The rotations as a viewer sees them, composed step by step in double: z first, then y,
// then x, then the move (row vectors, so each step multiplies on the right).
Point3 rotatedByHand(Point3 p, double ax, double ay, double az, Point3 move) {
    auto turn = [](double& u, double& v, double angle) {  // (u, v) -> (u c - v s, u s + v c)
        const double c = std::cos(angle), s = std::sin(angle), u0 = u;
        u = u0 * c - v * s;
        v = u0 * s + v * c;
    };
    double x = p.x, y = p.y, z = p.z;
    turn(x, y, az);
    turn(z, x, ay);
    turn(y, z, ax);
    return Point3{float(x + move.x), float(y + move.y), float(z + move.z)};
}

}  // namespace

TEST(Render3dMatrix, EveryAxisAndEveryInputComponentTakesPartInARotation) {
    const struct { float ax, ay, az; Point3 p; } cases[] = {
        {0.7f, 0.0f, 0.0f, {0.5f, -1.25f, 2.0f}}, {0.0f, 1.1f, 0.0f, {0.5f, -1.25f, 2.0f}},
        {0.0f, 0.0f, -0.4f, {0.5f, -1.25f, 2.0f}}, {0.3f, -2.2f, 1.9f, {-3.0f, 0.75f, -1.5f}},
        {45.0f, 12.0f, 7.0f, {1.0f, 2.0f, 3.0f}},
    };
    for (const auto& c : cases) {
        resetDrawingState();
        translate(0.5f, -1.0f, -14.0f);
        rotateEuler(c.ax, c.ay, c.az);
        const Point3 got = transformed(c.p.x, c.p.y, c.p.z);
        const Point3 want = rotatedByHand(c.p, c.ax, c.ay, c.az, Point3{0.5f, -1.0f, -14.0f});
        EXPECT_NEAR(got.x, want.x, 1e-5) << c.ax << " " << c.ay << " " << c.az;
        EXPECT_NEAR(got.y, want.y, 1e-5) << c.ax << " " << c.ay << " " << c.az;
        EXPECT_NEAR(got.z, want.z, 1e-5) << c.ax << " " << c.ay << " " << c.az;
    }
    // rotateAxes turns by demoTime about x first, then y, then z: the reverse order.
    resetDrawingState();
    demoTime = 0.6f;
    rotateAxes(1, 1, 1);
    Matrix4 combined = currentMatrix;
    loadIdentity();
    rotateEuler(0, 0, 0.6f);
    rotateEuler(0, 0.6f, 0);
    rotateEuler(0.6f, 0, 0);
    EXPECT_EQ(std::memcmp(&combined, &currentMatrix, sizeof combined), 0);
}

TEST(Render3dPrimitives, AFifthVertexNeverReachesTheColoursOrTheNextPrimitive) {
    resetDrawingState();
    penColor = Rgb{0.25f, 0.5f, 0.75f};
    primitiveList.currentKind = kindQuad;
    for (int i = 0; i < 9; ++i) addVertex(float(10 + i), 20, 30);
    endPrimitive();
    const Primitive& quad = primitiveList.items[0];
    for (int v = 0; v < 4; ++v) {
        EXPECT_TRUE(samePoint(quad.points[v], float(10 + v), 20, 30)) << v;
        EXPECT_TRUE(sameColor(quad.colors[v], penColor)) << v;
    }
    EXPECT_EQ(quad.kind, kindQuad);
    EXPECT_EQ(quad.style, styleDefault);
    EXPECT_TRUE(samePoint(primitiveList.items[1].points[0], 0, 0, 0));
}
