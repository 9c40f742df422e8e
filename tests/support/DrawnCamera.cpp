#include "support/DrawnCamera.h"

#include <cmath>

#include "support/SceneTestAssets.h"

double DrawnCamera::fromYAxis() const {
    return std::hypot(eye[0], eye[2]);
}

DrawnCamera drawnCamera(const std::vector<double>& m) {
    // Rows of the 3x3 system: clip component c of p is sum_j p_j m[4j + c] + m[12 + c].
    const int comps[3] = {0, 1, 3};
    double a[3][3], r[3];
    for (int row = 0; row < 3; ++row) {
        for (int j = 0; j < 3; ++j) a[row][j] = m[4 * j + comps[row]];
        r[row] = -m[12 + comps[row]];
    }
    auto det3 = [](double x[3][3]) {
        return x[0][0] * (x[1][1] * x[2][2] - x[1][2] * x[2][1]) -
               x[0][1] * (x[1][0] * x[2][2] - x[1][2] * x[2][0]) +
               x[0][2] * (x[1][0] * x[2][1] - x[1][1] * x[2][0]);
    };
    const double det = det3(a);
    DrawnCamera cam;
    for (int col = 0; col < 3; ++col) {
        double b[3][3];
        for (int row = 0; row < 3; ++row)
            for (int j = 0; j < 3; ++j) b[row][j] = j == col ? r[row] : a[row][j];
        cam.eye[col] = det3(b) / det;
    }
    // Forward keeps clip x and y at 0 and raises w.
    double* f = cam.forward;
    f[0] = a[0][1] * a[1][2] - a[0][2] * a[1][1];
    f[1] = a[0][2] * a[1][0] - a[0][0] * a[1][2];
    f[2] = a[0][0] * a[1][1] - a[0][1] * a[1][0];
    const double w = f[0] * a[2][0] + f[1] * a[2][1] + f[2] * a[2][2];
    const double len = std::sqrt(f[0] * f[0] + f[1] * f[1] + f[2] * f[2]) * (w < 0 ? -1 : 1);
    for (int j = 0; j < 3; ++j) f[j] /= len;
    return cam;
}

ScreenPoint screenPoint(const std::vector<double>& m, double x, double y, double z) {
    double clip[4];
    for (int c = 0; c < 4; ++c) clip[c] = x * m[c] + y * m[4 + c] + z * m[8 + c] + m[12 + c];
    ScreenPoint p;
    p.ahead = clip[3] > 0;
    if (clip[3] != 0) {
        p.x = clip[0] / clip[3];
        p.y = clip[1] / clip[3];
    }
    return p;
}

double pictureTilt(const std::vector<double>& matrix) {
    const DrawnCamera c = drawnCamera(matrix);
    double p[3];
    for (int i = 0; i < 3; ++i) p[i] = c.eye[i] + 20.0 * c.forward[i];
    const ScreenPoint ahead = screenPoint(matrix, p[0], p[1], p[2]);
    const ScreenPoint above = screenPoint(matrix, p[0], p[1] + 1.0, p[2]);
    return std::atan2((above.x - ahead.x) * SceneTestAssets::kWidth,
                      (above.y - ahead.y) * SceneTestAssets::kHeight);
}

std::vector<double> shotMatrix(const CameraShot& shot, const SceneClock& clock) {
    Matrix4 product;
    multiply(product, shot.view, lensOf(shot, clock));
    return std::vector<double>(product.m, product.m + 16);
}
