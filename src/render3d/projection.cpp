#include "render3d/projection.h"

#include <cmath>
#include <cstdint>

#include "display/display_config.h"
#include "render3d/float_rounding.h"

void projectPrimitive(Primitive& primitive) {
    const double halfWidth = static_cast<double>(displayConfig.width) * 0.5;
    const double height = static_cast<double>(displayConfig.height);
    for (Point3& point : primitive.points) {
        // No near-plane clipping: z = 0 is only nudged so the division stays finite.
        const float z = point.z == 0.0f ? 0.001f : point.z;
        const float inv = static_cast<float>(1.0 / static_cast<double>(z));
        point.x = static_cast<float>(halfWidth + static_cast<double>(point.x) * projScaleX * inv);
        point.y = static_cast<float>(height - static_cast<double>(point.y) * projScaleY * inv);
    }
}

void drawPrimitiveEdges(const Primitive& primitive) {
    for (int i = 0; i < 3; ++i) {
        drawLine(primitive.points[i], primitive.points[i + 1], primitive.colors[i]);
    }
}

static void plot(int64_t x, int64_t y) {
    if (x >= 0 && x < gridSize && y >= 0 && y < gridSize) colorGrid[x][y] = penColor;
}

// Walks the major axis from `from` + step to `to` (inclusive) and plots, for each step m,
// the cell whose minor coordinate is ceil(float(m * slope + c)). Only steps with the major
// coordinate inside the grid can plot, so the walk is limited to those: a segment from a
// point far outside costs no more than a short one, and the cells lit stay the same.
static void walkMajorAxis(int64_t from, int64_t to, float slope, float c, bool majorIsX) {
    const int64_t step = to >= from ? 1 : -1;
    int64_t first = from + step;
    int64_t last = to;
    if (step > 0) {
        if (first < 0) first = 0;
        if (last > gridSize - 1) last = gridSize - 1;
        if (first > last) return;
    } else {
        if (first > gridSize - 1) first = gridSize - 1;
        if (last < 0) last = 0;
        if (first < last) return;
    }
    for (int64_t m = first;; m += step) {
        const float t = static_cast<float>(static_cast<double>(m) * slope + c);
        const double minor = std::ceil(static_cast<double>(t));
        if (minor >= 0.0 && minor < gridSize) {
            const int64_t n = static_cast<int64_t>(minor);
            if (majorIsX) {
                plot(m, n);
            } else {
                plot(n, m);
            }
        }
        if (m == last) break;
    }
}

void drawLine(const Point3& start, const Point3& end, const Rgb& color) {
    penColor = color;
    // 64-bit deltas: the ends may be anywhere in the 32-bit range.
    const int64_t sx = truncateToInt32(start.x);
    const int64_t sy = truncateToInt32(start.y);
    const int64_t ex = truncateToInt32(end.x);
    const int64_t ey = truncateToInt32(end.y);
    plot(sx, sy);

    const int64_t dx = ex - sx;
    const int64_t dy = ey - sy;
    if ((dx < 0 ? -dx : dx) > (dy < 0 ? -dy : dy)) {
        const float slope = static_cast<float>(static_cast<double>(dy) / static_cast<double>(dx));
        const float c = static_cast<float>(static_cast<double>(sy) - static_cast<double>(sx) * slope);
        walkMajorAxis(sx, ex, slope, c, true);
    } else if (dy != 0) {
        const float slope = static_cast<float>(static_cast<double>(dx) / static_cast<double>(dy));
        const float c = static_cast<float>(static_cast<double>(sx) - static_cast<double>(sy) * slope);
        walkMajorAxis(sy, ey, slope, c, false);
    }
}
