// The per-frame queue of wireframe primitives.
//
// Owns `primitiveList`. Models and the star field open a primitive by storing its kind in
// `primitiveList.currentKind`, add its vertices with `addVertex` (each transformed by the
// current matrix when it is added, and coloured with the current pen) and close it with
// `endPrimitive`. `presentFrame` draws the queue and empties it.
#pragma once

#include <cstdint>

#include "display/color_grid.h"
#include "render3d/matrix.h"

enum PrimitiveKind : int32_t {
    kindNone = 0,
    kindQuad = 411,      // four vertices, drawn as the open path 0-1-2-3
    kindTriangle = 511,  // three vertices; endPrimitive copies vertex 0 into slot 3
};

constexpr int32_t styleDefault = 612;
constexpr int primitiveVertices = 4;
constexpr int primitiveCapacity = 4010;

struct Primitive {
    Point3 points[primitiveVertices];
    Rgb colors[primitiveVertices];
    int32_t kind;
    int32_t style;
};

struct PrimitiveList {
    Primitive items[primitiveCapacity];
    int32_t count;         // finished primitives since the last presentation
    int32_t vertexCursor;  // slot in items[count] for the next vertex
    int32_t currentKind;
    int32_t currentStyle;
};

extern PrimitiveList primitiveList;

void addVertex(float x, float y, float z);
void endPrimitive();
