#include "math/Matrix4.h"

#include <cmath>
#include <cstring>

#include "math/Scalar.h"

void identity(Matrix4& m) {
    for (float& v : m.m) v = 0.0f;
    m.m[0] = m.m[5] = m.m[10] = m.m[15] = 1.0f;
}

void multiply(Matrix4& out, const Matrix4& a, const Matrix4& b) {
    for (float& v : out.m) v = 0.0f;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            for (int j = 0; j < 4; ++j) out.m[4 * r + c] += a.m[4 * r + j] * b.m[4 * j + c];
}

static void premultiply(Matrix4& m, const Matrix4& left) {
    Matrix4 tmp;
    multiply(tmp, left, m);
    std::memcpy(m.m, tmp.m, sizeof tmp.m);
}

void translate(Matrix4& m, float x, float y, float z) {
    Matrix4 t;
    identity(t);
    t.m[12] = x;
    t.m[13] = y;
    t.m[14] = z;
    premultiply(m, t);
}

void scale(Matrix4& m, float x, float y, float z) {
    Matrix4 s;
    identity(s);
    s.m[0] = x;
    s.m[5] = y;
    s.m[10] = z;
    premultiply(m, s);
}

void rotate(Matrix4& m, float angle, float ax, float ay, float az) {
    Matrix4 r;
    float theta = angle * ax;
    float c = cosSingle(theta), s = sinSingle(theta);
    identity(r);
    r.m[5] = c;
    r.m[6] = -s;
    r.m[9] = s;
    r.m[10] = c;
    premultiply(m, r);

    theta = angle * ay;
    c = cosSingle(theta);
    s = sinSingle(theta);
    identity(r);
    r.m[0] = c;
    r.m[2] = s;
    r.m[8] = -s;
    r.m[10] = c;
    premultiply(m, r);

    theta = angle * az;
    c = cosSingle(theta);
    s = sinSingle(theta);
    identity(r);
    r.m[0] = c;
    r.m[1] = -s;
    r.m[4] = s;
    r.m[5] = c;
    premultiply(m, r);
}

void perspective(Matrix4& out, float halfWidth, float aspect, float nearZ, float farZ) {
    const float right = halfWidth * nearZ;
    const float left = -right;
    const float top = halfWidth * nearZ * aspect;
    const float bottom = -top;
    for (float& v : out.m) v = 0.0f;
    out.m[0] = 2.0f * nearZ / (right - left);
    out.m[2] = (right + left) / (right - left);
    out.m[5] = 2.0f * nearZ / (top - bottom);
    out.m[6] = (top + bottom) / (top - bottom);
    out.m[10] = -(farZ + nearZ) / (farZ - nearZ);
    out.m[11] = -(2.0f * nearZ * farZ) / (farZ - nearZ);
    out.m[14] = -1.0f;
    out.m[15] = 0.0f;
}

void lookAt(Matrix4& out, float eyeX, float eyeY, float eyeZ, float centerX, float centerY,
            float centerZ, float upX, float upY, float upZ) {
    const float dx = centerX - eyeX, dy = centerY - eyeY, dz = centerZ - eyeZ;
    const float k = -1.0f / std::sqrt(dx * dx + dy * dy + dz * dz);
    const float zx = k * dx, zy = k * dy, zz = k * dz;

    float xx = upY * zz - upZ * zy, xy = upZ * zx - upX * zz, xz = upX * zy - upY * zx;
    const float xl = 1.0f / std::sqrt(xx * xx + xy * xy + xz * xz);
    xx *= xl;
    xy *= xl;
    xz *= xl;

    float yx = zy * xz - zz * xy, yy = zz * xx - zx * xz, yz = zx * xy - zy * xx;
    const float yl = 1.0f / std::sqrt(yx * yx + yy * yy + yz * yz);
    yx *= yl;
    yy *= yl;
    yz *= yl;

    float* m = out.m;
    m[0] = xx, m[1] = xy, m[2] = xz, m[3] = 0.0f;
    m[4] = yx, m[5] = yy, m[6] = yz, m[7] = 0.0f;
    m[8] = -zx, m[9] = -zy, m[10] = -zz, m[11] = 0.0f;
    m[12] = eyeX * xx + eyeY * xy + eyeZ * xz;
    m[13] = eyeX * yx + eyeY * yy + eyeZ * yz;
    m[14] = -(eyeX * zx + eyeY * zy + eyeZ * zz);
    m[15] = 1.0f;
}
