// The one transformation of the wireframe pipeline: `currentMatrix` and its operations.
//
// Scenes reset it with `loadIdentity`, then move and spin it before queueing a model;
// `addVertex` and the star field push points through it with `transformPoint`. Points are
// row vectors (x, y, z, 1) times the matrix, so the operation called last acts first.
// There is no matrix stack and no projection here (see projection.h).
#pragma once

struct Point3 {
    float x, y, z;
};

// Sixteen floats row by row: entry (row r, column c) is m[4 * r + c]. Row 3 holds the
// translation; column 3 takes part in products but is never read by transformPoint.
struct Matrix4 {
    float m[16];
};

extern Matrix4 currentMatrix;

void loadIdentity();
// currentMatrix := T * currentMatrix, T being the identity with row 3 = (x, y, z, 1).
void translate(float x, float y, float z);
// currentMatrix := Rz(az) * Ry(ay) * Rx(ax) * currentMatrix (angles in radians).
void rotateEuler(float ax, float ay, float az);
// Rotates by demoTime about each axis whose switch is at least 1.0: z first, then y, then x.
void rotateAxes(float onX, float onY, float onZ);
// out := (in.x, in.y, in.z, 1) * currentMatrix, first three components; in may alias out.
void transformPoint(const Point3& in, Point3& out);
// out := left * right; out must be a third matrix (it is written while the others are read).
void multiplyMatrix(const Matrix4& left, const Matrix4& right, Matrix4& out);
