#include "render3d/matrix.h"

#include <cmath>

#include "driver/frame_state.h"
#include "render3d/float_rounding.h"

Matrix4 currentMatrix;

static Matrix4 identityMatrix() {
    Matrix4 identity{};
    identity.m[0] = identity.m[5] = identity.m[10] = identity.m[15] = 1.0f;
    return identity;
}

// currentMatrix := op * currentMatrix, through a copy so the product never reads its output.
static void applyOnLeft(const Matrix4& op) {
    const Matrix4 previous = currentMatrix;
    multiplyMatrix(op, previous, currentMatrix);
}

void loadIdentity() { currentMatrix = identityMatrix(); }

void multiplyMatrix(const Matrix4& left, const Matrix4& right, Matrix4& out) {
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            double sum = static_cast<double>(left.m[4 * i]) * right.m[j];
            sum += static_cast<double>(left.m[4 * i + 1]) * right.m[4 + j];
            sum += static_cast<double>(left.m[4 * i + 2]) * right.m[8 + j];
            sum += static_cast<double>(left.m[4 * i + 3]) * right.m[12 + j];
            out.m[4 * i + j] = static_cast<float>(sum);
        }
    }
}

void translate(float x, float y, float z) {
    Matrix4 t = identityMatrix();
    t.m[12] = x;
    t.m[13] = y;
    t.m[14] = z;
    applyOnLeft(t);
}

void rotateEuler(float ax, float ay, float az) {
    const float cx = cosFloat(ax);
    const float sx = sinFloat(ax);
    const float cy = cosFloat(ay);
    const float sy = sinFloat(ay);
    const float cz = cosFloat(az);
    const float sz = sinFloat(az);

    Matrix4 rx = identityMatrix();
    rx.m[5] = cx;
    rx.m[6] = sx;
    rx.m[9] = -sx;
    rx.m[10] = cx;

    Matrix4 ry = identityMatrix();
    ry.m[0] = cy;
    ry.m[2] = -sy;
    ry.m[8] = sy;
    ry.m[10] = cy;

    Matrix4 rz = identityMatrix();
    rz.m[0] = cz;
    rz.m[1] = sz;
    rz.m[4] = -sz;
    rz.m[5] = cz;

    // Three products, each rounded to float, even for zero angles: the rounding of each
    // intermediate matrix is part of the result.
    applyOnLeft(rx);
    Matrix4 scratch;
    multiplyMatrix(ry, currentMatrix, scratch);
    multiplyMatrix(rz, scratch, currentMatrix);
}

void rotateAxes(float onX, float onY, float onZ) {
    const float t = demoTime;
    // A NaN switch compares false and so stays off.
    if (onZ >= 1.0f) rotateEuler(0.0f, 0.0f, t);
    if (onY >= 1.0f) rotateEuler(0.0f, t, 0.0f);
    if (onX >= 1.0f) rotateEuler(t, 0.0f, 0.0f);
}

void transformPoint(const Point3& in, Point3& out) {
    const double x = in.x, y = in.y, z = in.z;
    const float* m = currentMatrix.m;
    const float outX = static_cast<float>(x * m[0] + y * m[4] + z * m[8] + m[12]);
    const float outY = static_cast<float>(x * m[1] + y * m[5] + z * m[9] + m[13]);
    const float outZ = static_cast<float>(x * m[2] + y * m[6] + z * m[10] + m[14]);
    out = Point3{outX, outY, outZ};
}
