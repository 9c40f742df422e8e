#include "DistanceField.h"

#include <cmath>
#include <vector>

namespace {

constexpr float kFar = 1e20f;

// One row of the lower envelope of parabolas (Felzenszwalb and Huttenlocher): d[i] becomes
// min over j of (i - j)^2 + f[j].
void transform1d(const float* f, int n, float* d, int* v, float* z) {
    int k = 0;
    v[0] = 0;
    z[0] = -kFar;
    z[1] = kFar;
    for (int q = 1; q < n; ++q) {
        float s =
            ((f[q] + q * static_cast<float>(q)) - (f[v[k]] + v[k] * static_cast<float>(v[k]))) /
            (2.0f * (q - v[k]));
        while (s <= z[k]) {
            --k;
            s = ((f[q] + q * static_cast<float>(q)) - (f[v[k]] + v[k] * static_cast<float>(v[k]))) /
                (2.0f * (q - v[k]));
        }
        ++k;
        v[k] = q;
        z[k] = s;
        z[k + 1] = kFar;
    }
    k = 0;
    for (int q = 0; q < n; ++q) {
        while (z[k + 1] < q) ++k;
        float dq = static_cast<float>(q - v[k]);
        d[q] = dq * dq + f[v[k]];
    }
}

// Squared distance from every pixel to the nearest pixel where `seed` holds.
Plane squaredDistance(const Plane& coverage, bool seedInside) {
    int w = coverage.width(), h = coverage.height();
    Plane out(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            out.at(x, y) = ((coverage.at(x, y) >= 0.5f) == seedInside) ? 0.0f : kFar;
    int n = w > h ? w : h;
    std::vector<float> f(n), d(n), z(n + 1);
    std::vector<int> v(n);
    for (int x = 0; x < w; ++x) {
        for (int y = 0; y < h; ++y) f[y] = out.at(x, y);
        transform1d(f.data(), h, d.data(), v.data(), z.data());
        for (int y = 0; y < h; ++y) out.at(x, y) = d[y];
    }
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) f[x] = out.at(x, y);
        transform1d(f.data(), w, d.data(), v.data(), z.data());
        for (int x = 0; x < w; ++x) out.at(x, y) = d[x];
    }
    return out;
}

}  // namespace

Plane signedDistance(const Plane& coverage) {
    Plane toInside = squaredDistance(coverage, true);
    Plane toOutside = squaredDistance(coverage, false);
    Plane out(coverage.width(), coverage.height());
    for (int y = 0; y < coverage.height(); ++y)
        for (int x = 0; x < coverage.width(); ++x) {
            // Pixel centres on either side of the contour are half a pixel from it.
            bool inside = coverage.at(x, y) >= 0.5f;
            out.at(x, y) =
                inside ? 0.5f - std::sqrt(toOutside.at(x, y)) : std::sqrt(toInside.at(x, y)) - 0.5f;
        }
    return out;
}

Plane downsample(const Plane& fine, int factor, float valueScale) {
    int w = fine.width() / factor, h = fine.height() / factor;
    Plane out(w, h);
    float norm = valueScale / static_cast<float>(factor * factor);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float sum = 0.0f;
            for (int j = 0; j < factor; ++j)
                for (int i = 0; i < factor; ++i) sum += fine.at(x * factor + i, y * factor + j);
            out.at(x, y) = sum * norm;
        }
    return out;
}
