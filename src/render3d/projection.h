// Perspective projection and single-cell line drawing into the colour grid.
//
// `presentFrame` calls `projectPrimitive` and then `drawPrimitiveEdges` on every queued
// primitive, in queue order, so wireframes lie over everything else of the frame.
#pragma once

#include "render3d/primitives.h"

// Replaces x and y of all four points by grid coordinates; z is kept.
void projectPrimitive(Primitive& primitive);

// Draws segments 0-1, 1-2 and 2-3, each in the colour of its first vertex.
void drawPrimitiveEdges(const Primitive& primitive);

// Draws from start to end (x and y only) in `color`, which becomes the pen colour.
// Ends are truncated to cells; ends beyond the 32-bit range saturate and NaN counts as far
// outside. Only the steps whose major coordinate lies inside the grid are walked, so a
// segment from a point near z = 0 costs no more than a short one.
void drawLine(const Point3& start, const Point3& end, const Rgb& color);
