#include "render3d/models.h"

#include <cmath>

#include "display/color_grid.h"
#include "render3d/primitives.h"
#include "render3d/random.h"

// Faces of the cube in queue order; each is drawn as the open path 0-1-2-3.
static const Point3 cubeFaces[6][4] = {
    {{-1, -1, 1}, {1, -1, 1}, {1, 1, 1}, {-1, 1, 1}},
    {{-1, -1, -1}, {-1, 1, -1}, {1, 1, -1}, {1, -1, -1}},
    {{-1, 1, -1}, {-1, 1, 1}, {1, 1, 1}, {1, 1, -1}},
    {{-1, -1, -1}, {1, -1, -1}, {1, -1, 1}, {-1, -1, 1}},
    {{1, -1, -1}, {1, 1, -1}, {1, 1, 1}, {1, -1, 1}},
    {{-1, -1, -1}, {-1, -1, 1}, {-1, 1, 1}, {-1, 1, -1}},
};

// One cube edge and the apex of the pyramid on that face; four triangles per apex.
static const Point3 spikeTriangles[24][3] = {
    {{-1, 1, 1}, {1, 1, 1}, {0, 3, 0}},
    {{-1, 1, -1}, {1, 1, -1}, {0, 3, 0}},
    {{-1, 1, -1}, {-1, 1, 1}, {0, 3, 0}},
    {{1, 1, -1}, {1, 1, 1}, {0, 3, 0}},
    {{-1, -1, 1}, {1, -1, 1}, {0, -3, 0}},
    {{-1, -1, -1}, {1, -1, -1}, {0, -3, 0}},
    {{-1, -1, -1}, {-1, -1, 1}, {0, -3, 0}},
    {{1, -1, -1}, {1, -1, 1}, {0, -3, 0}},
    {{-1, 1, 1}, {-1, -1, 1}, {-3, 0, 0}},
    {{-1, 1, -1}, {-1, -1, -1}, {-3, 0, 0}},
    {{-1, 1, -1}, {-1, 1, 1}, {-3, 0, 0}},
    {{-1, -1, -1}, {-1, -1, 1}, {-3, 0, 0}},
    {{1, 1, 1}, {1, -1, 1}, {3, 0, 0}},
    {{1, 1, -1}, {1, -1, -1}, {3, 0, 0}},
    {{1, 1, -1}, {1, 1, 1}, {3, 0, 0}},
    {{1, -1, -1}, {1, -1, 1}, {3, 0, 0}},
    {{-1, 1, 1}, {1, 1, 1}, {0, 0, 3}},
    {{-1, -1, 1}, {1, -1, 1}, {0, 0, 3}},
    {{-1, 1, 1}, {-1, -1, 1}, {0, 0, 3}},
    {{1, 1, 1}, {1, -1, 1}, {0, 0, 3}},
    {{-1, 1, -1}, {1, 1, -1}, {0, 0, -3}},
    {{-1, -1, -1}, {1, -1, -1}, {0, 0, -3}},
    {{-1, 1, -1}, {-1, -1, -1}, {0, 0, -3}},
    {{1, 1, -1}, {1, -1, -1}, {0, 0, -3}},
};

void drawCube() {
    for (const auto& face : cubeFaces) {
        // Three draws used as angles: blue from the first, green the second, red the third.
        const double r1 = nextRandom();
        const double r2 = nextRandom();
        const double r3 = nextRandom();
        const float a = static_cast<float>(std::cos(r1));
        const float b = static_cast<float>(std::sin(r2));
        const float c = static_cast<float>(std::sin(r3));
        penColor = Rgb{static_cast<float>(1.0 + c), static_cast<float>(1.0 + b),
                       static_cast<float>(1.0 - a)};
        primitiveList.currentKind = kindQuad;
        for (const Point3& p : face) addVertex(p.x, p.y, p.z);
        endPrimitive();
    }
}

void drawSpikedCube() {
    for (const auto& triangle : spikeTriangles) {
        primitiveList.currentKind = kindTriangle;
        for (const Point3& p : triangle) addVertex(p.x, p.y, p.z);
        endPrimitive();
    }
}
