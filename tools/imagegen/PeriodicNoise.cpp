#include "PeriodicNoise.h"

#include <cmath>

namespace noise {

static int wrap(int i, int period) {
    int r = i % period;
    return r < 0 ? r + period : r;
}

uint32_t hash(int x, int y, uint32_t seed) {
    uint32_t h = static_cast<uint32_t>(x) * 0x8da6b343u ^ static_cast<uint32_t>(y) * 0xd8163841u ^
                 seed * 0xcb1ab31fu;
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    return h;
}

float hash01(int x, int y, uint32_t seed) {
    return (hash(x, y, seed) >> 8) * (1.0f / 16777216.0f);
}

static float fade(float t) {
    return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f);
}

float value(float u, float v, int px, int py, uint32_t seed) {
    float x = u * px, y = v * py;
    float fx = std::floor(x), fy = std::floor(y);
    int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    float tx = fade(x - fx), ty = fade(y - fy);
    int x0 = wrap(ix, px), x1 = wrap(ix + 1, px), y0 = wrap(iy, py), y1 = wrap(iy + 1, py);
    float a = hash01(x0, y0, seed), b = hash01(x1, y0, seed);
    float c = hash01(x0, y1, seed), d = hash01(x1, y1, seed);
    float top = a + (b - a) * tx, bottom = c + (d - c) * tx;
    return (top + (bottom - top) * ty) * 2.0f - 1.0f;
}

namespace {

// 16 evenly spread unit directions keep the noise isotropic.
struct Directions {
    float x[16], y[16];
    Directions() {
        for (int i = 0; i < 16; ++i) {
            x[i] = std::cos(i * (6.2831853f / 16.0f));
            y[i] = std::sin(i * (6.2831853f / 16.0f));
        }
    }
};
const Directions kDirections;

float corner(int x, int y, float dx, float dy, uint32_t seed) {
    uint32_t i = hash(x, y, seed) & 15u;
    return kDirections.x[i] * dx + kDirections.y[i] * dy;
}

}  // namespace

float gradient(float u, float v, int px, int py, uint32_t seed) {
    float x = u * px, y = v * py;
    float fx = std::floor(x), fy = std::floor(y);
    int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    float rx = x - fx, ry = y - fy;
    int x0 = wrap(ix, px), x1 = wrap(ix + 1, px), y0 = wrap(iy, py), y1 = wrap(iy + 1, py);
    float a = corner(x0, y0, rx, ry, seed), b = corner(x1, y0, rx - 1.0f, ry, seed);
    float c = corner(x0, y1, rx, ry - 1.0f, seed), d = corner(x1, y1, rx - 1.0f, ry - 1.0f, seed);
    float tx = fade(rx), ty = fade(ry);
    float top = a + (b - a) * tx, bottom = c + (d - c) * tx;
    return (top + (bottom - top) * ty) * 1.4142135f;
}

float fbm(float u, float v, int px, int py, int octaves, float gain, uint32_t seed) {
    float sum = 0.0f, weight = 1.0f, total = 0.0f;
    for (int i = 0; i < octaves; ++i) {
        sum += weight * gradient(u, v, px << i, py << i, seed + static_cast<uint32_t>(i) * 101u);
        total += weight;
        weight *= gain;
    }
    return sum / total * 1.6f;
}

float ridged(float u, float v, int px, int py, int octaves, float gain, uint32_t seed) {
    float sum = 0.0f, weight = 1.0f, total = 0.0f;
    for (int i = 0; i < octaves; ++i) {
        float n = 1.0f - std::fabs(gradient(u, v, px << i, py << i,
                                            seed + static_cast<uint32_t>(i) * 131u));
        sum += weight * n * n;
        total += weight;
        weight *= gain;
    }
    return sum / total;
}

Cell cellular(float u, float v, int px, int py, float jitter, uint32_t seed) {
    float x = u * px, y = v * py;
    int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    Cell best;
    best.f1 = best.f2 = 1e9f;
    for (int oy = -1; oy <= 1; ++oy)
        for (int ox = -1; ox <= 1; ++ox) {
            int cx = ix + ox, cy = iy + oy;
            int wx = wrap(cx, px), wy = wrap(cy, py);
            float fx = cx + 0.5f + (hash01(wx, wy, seed) - 0.5f) * jitter;
            float fy = cy + 0.5f + (hash01(wx, wy, seed ^ 0x5bd1e995u) - 0.5f) * jitter;
            float dx = x - fx, dy = y - fy;
            float d = std::sqrt(dx * dx + dy * dy);
            if (d < best.f1) {
                best.f2 = best.f1;
                best.f1 = d;
                best.dx = dx;
                best.dy = dy;
                best.id = hash(wx, wy, seed + 7u);
            } else if (d < best.f2) {
                best.f2 = d;
            }
        }
    return best;
}

}  // namespace noise
