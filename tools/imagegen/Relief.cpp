#include "Relief.h"

#include <algorithm>
#include <cmath>

Vec3 normalized(Vec3 v) {
    float len = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return len > 0.0f ? Vec3{v.x / len, v.y / len, v.z / len} : Vec3{};
}

float dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

static float sample(const Plane& p, int x, int y, bool tiling) {
    return tiling ? p.wrapped(x, y) : p.clamped(x, y);
}

Vec3 reliefNormal(const Plane& height, int x, int y, float depth, bool tiling) {
    // Sobel weights: smoother than a plain central difference on noisy height.
    float tl = sample(height, x - 1, y - 1, tiling), t = sample(height, x, y - 1, tiling);
    float tr = sample(height, x + 1, y - 1, tiling), l = sample(height, x - 1, y, tiling);
    float r = sample(height, x + 1, y, tiling), bl = sample(height, x - 1, y + 1, tiling);
    float b = sample(height, x, y + 1, tiling), br = sample(height, x + 1, y + 1, tiling);
    float dx = ((tr + 2.0f * r + br) - (tl + 2.0f * l + bl)) * 0.125f;
    float dy = ((bl + 2.0f * b + br) - (tl + 2.0f * t + tr)) * 0.125f;
    // Everything, lights included, lives in picture axes: x right, y down, z towards the viewer.
    return normalized({-dx * depth, -dy * depth, 1.0f});
}

float diffuse(Vec3 normal, Vec3 light) {
    return std::max(0.0f, dot(normal, normalized(light)));
}

float specular(Vec3 normal, Vec3 light, float power) {
    Vec3 l = normalized(light);
    Vec3 half = normalized({l.x, l.y, l.z + 1.0f});
    return std::pow(std::max(0.0f, dot(normal, half)), power);
}

float cavity(const Plane& height, int x, int y, int radius, bool tiling) {
    float sum = 0.0f;
    int n = 0;
    for (int a = 0; a < 8; ++a) {
        static const int dirs[8][2] = {{1, 0},  {1, 1},   {0, 1},  {-1, 1},
                                       {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};
        sum += sample(height, x + dirs[a][0] * radius, y + dirs[a][1] * radius, tiling);
        ++n;
    }
    return sum / n - sample(height, x, y, tiling);
}
