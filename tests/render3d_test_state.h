// Shared helpers for the wireframe and effects tests: every global these modules touch
// put back to a known state with the demo's 80 x 50 view, and a whole-grid fill.
#pragma once

#include <cstring>

#include "display/color_grid.h"
#include "display/display_config.h"
#include "driver/demo.h"
#include "driver/frame_state.h"
#include "effects/image.h"
#include "effects/text.h"
#include "render3d/random.h"
#include "effects/starfield.h"
#include "render3d/matrix.h"

inline void fillGrid(const Rgb& color) {
    for (auto& column : colorGrid)
        for (Rgb& cell : column) cell = color;
}

inline void resetDrawingState() {
    displayConfig.width = 80;
    displayConfig.height = 50;
    projScaleX = 111.70364379882812f;
    projScaleY = 139.62954711914062f;
    fillGrid(Rgb{0, 0, 0});
    std::memset(&primitiveList, 0, sizeof primitiveList);
    primitiveList.currentStyle = styleDefault;
    penColor = clearColor = Rgb{0, 0, 0};
    loadIdentity();
    demoTime = 0.0f;
    randomState = 1;
    std::memset(stars, 0, sizeof stars);
    scrollOffset = 0.0f;
}

inline bool sameColor(const Rgb& a, const Rgb& b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

inline bool samePoint(const Point3& p, float x, float y, float z) { return p.x == x && p.y == y && p.z == z; }
