// The two wireframe models and where the scenes put them: shapes checked by their
// geometry (corners, edges, spike tips), placements by each model's centre and size.
#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include <gtest/gtest.h>

#include "driver/timeline.h"
#include "render3d/models.h"
#include "render3d_test_state.h"

namespace {

double distance(const Point3& a, const Point3& b) {
    return std::sqrt(double(a.x - b.x) * (a.x - b.x) + double(a.y - b.y) * (a.y - b.y) +
                     double(a.z - b.z) * (a.z - b.z));
}

// The mean of every queued vertex of items [first, first + count): the model's centre,
// since both models are symmetric about their origin.
Point3 centreOf(int first, int count, int verticesEach) {
    double x = 0, y = 0, z = 0;
    for (int i = first; i < first + count; ++i)
        for (int v = 0; v < verticesEach; ++v) {
            const Point3& p = primitiveList.items[i].points[v];
            x += p.x, y += p.y, z += p.z;
        }
    const double n = double(count) * verticesEach;
    return Point3{float(x / n), float(y / n), float(z / n)};
}

using Corner = std::tuple<int, int, int>;
Corner cornerOf(const Point3& p) { return {int(p.x), int(p.y), int(p.z)}; }

}  // namespace

TEST(Models, CubeFacesAreSquaresCoveringEveryCornerThreeTimes) {
    resetDrawingState();
    drawCube();
    ASSERT_EQ(primitiveList.count, 6);
    std::map<Corner, int> uses;
    for (int f = 0; f < 6; ++f) {
        const Primitive& face = primitiveList.items[f];
        EXPECT_EQ(face.kind, kindQuad);
        for (int v = 0; v < 4; ++v) {
            EXPECT_EQ(std::fabs(face.points[v].x) + std::fabs(face.points[v].y) + std::fabs(face.points[v].z), 3) << f;
            EXPECT_EQ(distance(face.points[v], face.points[(v + 1) % 4]), 2.0) << "face " << f << " edge " << v;
            ++uses[cornerOf(face.points[v])];
        }
    }
    EXPECT_EQ(uses.size(), 8u);
    for (const auto& [corner, n] : uses) EXPECT_EQ(n, 3);
}

TEST(Models, SpikedCubeHasAPyramidOnEveryFaceOverEveryEdge) {
    resetDrawingState();
    drawSpikedCube();
    ASSERT_EQ(primitiveList.count, 24);
    std::map<std::tuple<Corner, Corner>, int> edges;
    std::map<Corner, int> tips;
    for (int t = 0; t < 24; ++t) {
        const Primitive& triangle = primitiveList.items[t];
        const Point3 &a = triangle.points[0], &b = triangle.points[1], &tip = triangle.points[2];
        EXPECT_EQ(triangle.kind, kindTriangle);
        EXPECT_EQ(distance(a, b), 2.0) << t;  // a cube edge
        EXPECT_EQ(distance(tip, Point3{0, 0, 0}), 3.0) << t;
        // The tip stands over the face the edge belongs to: both corners lie on that face.
        EXPECT_EQ(a.x * tip.x + a.y * tip.y + a.z * tip.z, 3) << t;
        EXPECT_EQ(b.x * tip.x + b.y * tip.y + b.z * tip.z, 3) << t;
        EXPECT_TRUE(samePoint(triangle.points[3], a.x, a.y, a.z)) << t;
        ++edges[std::minmax(cornerOf(a), cornerOf(b))];
        ++tips[cornerOf(tip)];
    }
    EXPECT_EQ(edges.size(), 12u);
    for (const auto& [edge, n] : edges) EXPECT_EQ(n, 2);  // each edge borders two faces
    EXPECT_EQ(tips.size(), 6u);
}

TEST(SceneModels, EachSceneQueuesItsModelAtItsDistanceFromTheViewer) {
    struct Case {
        float time, bass;
        int first, count, verticesEach;  // the model copy that is checked
        Point3 centre;
        double tipDistance;  // from the centre: cube corners sqrt(3), spike tips 3
    };
    const float ripple = float(std::sin(double(float(70.0f * 0.5))) * 8.0 - 10.0);
    const Case cases[] = {
        {70.0f, 0.0f, 0, 6, 4, {0, 0, ripple}, std::sqrt(3.0)},       // cube over the ripple
        {100.0f, 0.0f, 24, 24, 3, {0, -1, -14}, 3.0},                 // white spiked cube
        {100.0f, 2.4f, 24, 24, 3, {0, -1, -11.6f}, 3.0},              // nearer on a kick
        {200.0f, 0.0f, 36, 6, 4, {0, 0, -15}, std::sqrt(3.0)},        // cube after the stars
    };
    for (const Case& c : cases) {
        resetDrawingState();
        demoTime = c.time;
        bassLevel = c.bass;
        updateLateScenes();
        updateMiddleScenes();
        ASSERT_GE(primitiveList.count, c.first + c.count) << c.time;
        const Point3 centre = centreOf(c.first, c.count, c.verticesEach);
        EXPECT_NEAR(centre.x, c.centre.x, 1e-4) << c.time;
        EXPECT_NEAR(centre.y, c.centre.y, 1e-4) << c.time;
        EXPECT_NEAR(centre.z, c.centre.z, 1e-4) << c.time;
        double farthest = 0;
        for (int i = c.first; i < c.first + c.count; ++i)
            for (int v = 0; v < c.verticesEach; ++v)
                farthest = std::max(farthest, distance(primitiveList.items[i].points[v], centre));
        EXPECT_NEAR(farthest, c.tipDistance, 1e-4) << c.time;
    }
    bassLevel = 0.0f;
}

TEST(SceneModels, ThePlasmaSceneDrawsABlackShadowFirstThenTheWhiteModel) {
    resetDrawingState();
    demoTime = 100.0f;
    updateLateScenes();
    ASSERT_EQ(primitiveList.count, 48);
    EXPECT_TRUE(sameColor(primitiveList.items[0].colors[0], Rgb{0, 0, 0}));
    EXPECT_TRUE(sameColor(primitiveList.items[47].colors[2], Rgb{1, 1, 1}));
    // The shadow is the same model moved 0.1 back along its own z axis.
    const Point3 shadow = centreOf(0, 24, 3), model = centreOf(24, 24, 3);
    EXPECT_NEAR(distance(shadow, model), 0.1, 1e-4);
}
