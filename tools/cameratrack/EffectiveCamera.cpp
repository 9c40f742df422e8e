#include "EffectiveCamera.h"

#include <cmath>
#include <utility>

namespace {

// Gauss-Jordan with partial pivoting on a double copy; false for a singular matrix.
bool invert(const Matrix4& in, double inv[16]) {
    double a[16];
    for (int i = 0; i < 16; ++i) {
        a[i] = in.m[i];
        inv[i] = (i % 5 == 0) ? 1.0 : 0.0;
    }
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 4; ++r)
            if (std::fabs(a[4 * r + col]) > std::fabs(a[4 * pivot + col])) pivot = r;
        if (!(std::fabs(a[4 * pivot + col]) > 1e-12)) return false;
        for (int c = 0; c < 4; ++c) {
            std::swap(a[4 * col + c], a[4 * pivot + c]);
            std::swap(inv[4 * col + c], inv[4 * pivot + c]);
        }
        const double scale = 1.0 / a[4 * col + col];
        for (int c = 0; c < 4; ++c) {
            a[4 * col + c] *= scale;
            inv[4 * col + c] *= scale;
        }
        for (int r = 0; r < 4; ++r) {
            if (r == col) continue;
            const double f = a[4 * r + col];
            for (int c = 0; c < 4; ++c) {
                a[4 * r + c] -= f * a[4 * col + c];
                inv[4 * r + c] -= f * inv[4 * col + c];
            }
        }
    }
    return true;
}

// Row vector v times the (r, c) matrix.
void rowTimes(const double v[4], const double m[16], double out[4]) {
    for (int c = 0; c < 4; ++c)
        out[c] = v[0] * m[c] + v[1] * m[4 + c] + v[2] * m[8 + c] + v[3] * m[12 + c];
}

bool normalise(double v[3]) {
    const double len = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (!(len > 0.0)) return false;
    for (int i = 0; i < 3; ++i) v[i] /= len;
    return true;
}

}  // namespace

EffectiveCamera effectiveCamera(const Matrix4& view) {
    EffectiveCamera cam;
    double inv[16];
    if (!invert(view, inv)) return cam;

    const double origin[4] = {0, 0, 0, 1}, back[4] = {0, 0, -1, 0}, upward[4] = {0, 1, 0, 0};
    double eye[4], forward[4], up[4];
    rowTimes(origin, inv, eye);
    rowTimes(back, inv, forward);
    rowTimes(upward, inv, up);
    if (!(std::fabs(eye[3]) > 1e-12)) return cam;
    for (int i = 0; i < 3; ++i) {
        cam.eye[i] = eye[i] / eye[3];
        cam.forward[i] = forward[i];
        cam.up[i] = up[i];
    }
    cam.valid = normalise(cam.forward) && normalise(cam.up);
    return cam;
}

void transformPoint(const Matrix4& m, const double p[3], double out[4]) {
    double in[16];
    for (int i = 0; i < 16; ++i) in[i] = m.m[i];
    const double v[4] = {p[0], p[1], p[2], 1.0};
    rowTimes(v, in, out);
}
