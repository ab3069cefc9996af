#include "render3d/primitives.h"

#include "render3d/matrix.h"

PrimitiveList primitiveList;

// A record slot exists for count 0..capacity-1; beyond that, or past the fourth vertex,
// the surplus is dropped so nothing is written outside the list.
static bool recordOpen() {
    return primitiveList.count >= 0 && primitiveList.count < primitiveCapacity;
}

void addVertex(float x, float y, float z) {
    const int32_t slot = primitiveList.vertexCursor;
    if (!recordOpen() || slot < 0 || slot >= primitiveVertices) return;
    Primitive& record = primitiveList.items[primitiveList.count];
    transformPoint(Point3{x, y, z}, record.points[slot]);
    record.colors[slot] = penColor;
    primitiveList.vertexCursor = slot + 1;
    record.kind = primitiveList.currentKind;
    record.style = primitiveList.currentStyle;
}

void endPrimitive() {
    if (recordOpen()) {
        Primitive& record = primitiveList.items[primitiveList.count];
        if (primitiveList.currentKind == kindTriangle) {
            record.points[3] = record.points[0];
            record.colors[3] = record.colors[0];
        }
        primitiveList.count += 1;
    }
    primitiveList.currentKind = kindNone;
    primitiveList.vertexCursor = 0;
}
