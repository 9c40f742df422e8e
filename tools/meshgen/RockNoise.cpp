#include "RockNoise.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

std::uint32_t hash3(int x, int y, int z) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 0x8da6b343u ^
                      static_cast<std::uint32_t>(y) * 0xd8163841u ^
                      static_cast<std::uint32_t>(z) * 0xcb1ab31fu;
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    return h;
}

// One of twelve edge directions of a cube, chosen by the hash.
float cornerDot(int ix, int iy, int iz, float fx, float fy, float fz) {
    switch (hash3(ix, iy, iz) % 12u) {
        case 0: return fx + fy;
        case 1: return -fx + fy;
        case 2: return fx - fy;
        case 3: return -fx - fy;
        case 4: return fx + fz;
        case 5: return -fx + fz;
        case 6: return fx - fz;
        case 7: return -fx - fz;
        case 8: return fy + fz;
        case 9: return -fy + fz;
        case 10: return fy - fz;
        default: return -fy - fz;
    }
}

float fade(float t) {
    return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f);
}
float lerp(float a, float b, float t) {
    return a + (b - a) * t;
}

}  // namespace

float gradientNoise(float x, float y, float z) {
    const float flx = std::floor(x), fly = std::floor(y), flz = std::floor(z);
    const int ix = static_cast<int>(flx), iy = static_cast<int>(fly), iz = static_cast<int>(flz);
    const float fx = x - flx, fy = y - fly, fz = z - flz;
    const float u = fade(fx), v = fade(fy), w = fade(fz);
    const float c000 = cornerDot(ix, iy, iz, fx, fy, fz);
    const float c100 = cornerDot(ix + 1, iy, iz, fx - 1, fy, fz);
    const float c010 = cornerDot(ix, iy + 1, iz, fx, fy - 1, fz);
    const float c110 = cornerDot(ix + 1, iy + 1, iz, fx - 1, fy - 1, fz);
    const float c001 = cornerDot(ix, iy, iz + 1, fx, fy, fz - 1);
    const float c101 = cornerDot(ix + 1, iy, iz + 1, fx - 1, fy, fz - 1);
    const float c011 = cornerDot(ix, iy + 1, iz + 1, fx, fy - 1, fz - 1);
    const float c111 = cornerDot(ix + 1, iy + 1, iz + 1, fx - 1, fy - 1, fz - 1);
    return lerp(lerp(lerp(c000, c100, u), lerp(c010, c110, u), v),
                lerp(lerp(c001, c101, u), lerp(c011, c111, u), v), w);
}

float fractalNoise(float x, float y, float z, int octaves) {
    float sum = 0.0f, amplitude = 1.0f;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * gradientNoise(x, y, z);
        // Each octave is shifted so the lattice zeros of the octaves do not line up.
        x = x * 2.0f + 17.31f;
        y = y * 2.0f + 9.17f;
        z = z * 2.0f + 3.73f;
        amplitude *= 0.5f;
    }
    return sum;
}

float ridgedNoise(float x, float y, float z, int octaves) {
    float sum = 0.0f, amplitude = 0.5f;
    for (int i = 0; i < octaves; ++i) {
        // A rounded crease: |n| softened near zero, which the generator's cells can follow.
        const float n = gradientNoise(x, y, z);
        const float r = 1.0f - std::sqrt(n * n + 0.01f);
        sum += amplitude * r * r;
        x = x * 2.0f + 5.13f;
        y = y * 2.0f + 11.71f;
        z = z * 2.0f + 7.29f;
        amplitude *= 0.5f;
    }
    return sum;
}

float hashUnit(int x, int y, int z) {
    return static_cast<float>(hash3(x, y, z) >> 8) * (1.0f / 16777216.0f);
}

float smoothMin(float a, float b, float k) {
    // Beyond the blend width it is the plain minimum; returning it outright also keeps a huge
    // "nothing here" value on one side from swamping the other in float arithmetic.
    if (std::fabs(a - b) >= k) return std::min(a, b);
    const float h = 0.5f + 0.5f * (b - a) / k;
    return a * h + b * (1.0f - h) - k * h * (1.0f - h);
}

float smoothMax(float a, float b, float k) {
    return -smoothMin(-a, -b, k);
}
