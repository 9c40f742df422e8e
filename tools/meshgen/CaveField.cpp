#include "CaveField.h"

#include <algorithm>
#include <cmath>

#include "RockNoise.h"

namespace {

constexpr float kNearEnd = -136.0f;  // the passage is closed a little beyond the camera's ends
constexpr float kFarEnd = 104.0f;

// The central chamber round the light, where the boulder falls through.
float chamber(float z) {
    return std::exp(-(z * z) * (1.0f / 900.0f));
}

// Passage centre line and radius along z.
float centreX(float z) {
    return 2.0f + 0.00045f * z * z + 5.0f * std::sin(0.036f * z + 0.7f) +
           1.5f * std::sin(0.087f * z + 2.1f);
}
float centreY(float z) {
    return 3.0f + 1.5f * std::sin(0.027f * z + 1.9f);
}
// Wide rooms joined by narrower throats.
float radius(float z) {
    return 23.0f + 5.0f * std::sin(0.06f * z + 0.4f) + 2.0f * std::sin(0.13f * z + 1.3f) +
           8.0f * chamber(z);
}

// Distance from the line the camera follows (about 9.5 above the axis, drifting out in x towards
// both ends); the walls are kept clear of it.
float corridorDistance(float x, float y, float z) {
    const float u = (z + 15.0f) * (1.0f / 105.0f);
    const float dx = x - (11.0f * u * u * u * u - 0.6f);
    const float dy = y - 9.5f;
    return std::sqrt(dx * dx + dy * dy);
}

// Side passages running off into the dark: capsules from the main passage outwards.
float sideTunnels(float x, float y, float z) {
    const float at[3][4] = {// z where they leave, direction in x, radius, end x
                            {-95.0f, -1.0f, 8.0f, -48.0f},
                            {-45.0f, 1.0f, 7.0f, 50.0f},
                            {62.0f, -1.0f, 9.0f, -52.0f}};
    float air = -1e9f;
    for (const auto& t : at) {
        const float along = std::clamp(x * t[1], 0.0f, std::fabs(t[3]));
        const float bend = 0.004f * along * along;
        const float dx = x - along * t[1];
        const float dy = y - (centreY(t[0]) - 4.0f + 0.05f * along);
        const float dz = z - (t[0] + bend);
        air = std::max(air, t[2] - std::sqrt(dx * dx + dy * dy + dz * dz));
    }
    return air;
}

// Dripstones scattered on a jittered grid in x-z: rock added up to `length` above (stalagmites)
// or below (stalactites) a surface, a rounded spike of about `width` from each one's axis.
float dripstones(float x, float z, int layer, float cell, float length, float width) {
    const int cx = static_cast<int>(std::floor(x / cell)),
              cz = static_cast<int>(std::floor(z / cell));
    float rock = 0.0f;
    for (int i = cx - 1; i <= cx + 1; ++i)
        for (int k = cz - 1; k <= cz + 1; ++k) {
            if (hashUnit(i, layer, k) < 0.4f) continue;  // not every cell has one
            const float px = (i + 0.2f + 0.6f * hashUnit(i, layer + 1, k)) * cell;
            const float pz = (k + 0.2f + 0.6f * hashUnit(i, layer + 2, k)) * cell;
            const float l = length * (0.4f + 0.6f * hashUnit(i, layer + 3, k));
            const float w = width * (0.7f + 0.6f * hashUnit(i, layer + 4, k));
            const float d2 = ((x - px) * (x - px) + (z - pz) * (z - pz)) / (w * w);
            rock += l * std::exp(-2.5f * d2);
        }
    return rock;
}

// Rock pillars joining floor and ceiling, clear of the camera's path.
float pillars(float x, float y, float z) {
    const float at[3][3] = {{-15.0f, -78.0f, 4.5f}, {21.0f, -32.0f, 4.0f}, {-17.0f, 48.0f, 5.0f}};
    float air = 1e9f;
    for (const auto& p : at) {
        const float d = std::sqrt((x - p[0]) * (x - p[0]) + (z - p[1]) * (z - p[1]));
        const float waist = p[2] * (0.7f + 0.0009f * y * y);  // thinner at mid-height
        air = std::min(air, d - waist + 1.2f * gradientNoise(0.2f * x, 0.1f * y, 0.2f * z));
    }
    return air;
}

}  // namespace

float caveField(float x, float y, float z) {
    const float r = radius(z);
    const float dx = (x - centreX(z)) * (1.0f / 1.25f);
    const float dy = y - centreY(z);
    const float e = std::sqrt(dx * dx + dy * dy);
    // Deep in the rock: no detail can reach the surface from here.
    if (e > r + 14.0f) return r - e;

    // Walls: broad lumps stretched vertically (flowstone), ledges from ridged strata.
    float air = r - e + 5.0f * fractalNoise(0.045f * x, 0.02f * y, 0.045f * z, 3) -
                2.2f * ridgedNoise(0.05f * x + 3.0f, 0.16f * y, 0.05f * z, 2);
    // Stalactites hang from the upper half.
    const float upper = std::clamp((dy - 0.35f * r) / (0.3f * r), 0.0f, 1.0f);
    if (upper > 0.0f) air -= upper * dripstones(x, z, 11, 11.0f, 10.0f, 5.0f);
    air = smoothMax(air, sideTunnels(x, y, z) + 2.0f * gradientNoise(0.1f * x, 0.1f * y, 0.1f * z),
                    4.0f);

    // A flatter floor with rubble, dropping into a pit under the chamber.
    const float pit = std::exp(-((x - 5.0f) * (x - 5.0f) + (z - 4.0f) * (z - 4.0f)) / 260.0f);
    const float floorY = centreY(z) - (0.58f + 0.2f * chamber(z)) * r - 7.0f * pit +
                         2.5f * fractalNoise(0.06f * x, 0.3f, 0.06f * z, 3);
    const float floorAir = (y - floorY) - dripstones(x, z, 23, 12.0f, 7.0f, 5.5f) -
                           1.5f * std::fabs(gradientNoise(0.15f * x, 0.5f, 0.15f * z));
    air = smoothMin(air, floorAir, 4.0f);

    air = smoothMin(air, pillars(x, y, z), 5.0f);

    // Rounded ends beyond the camera's first and last positions.
    const float ends =
        std::min(z - kNearEnd, kFarEnd - z) + 3.0f * gradientNoise(0.07f * x, 0.07f * y, 0.5f);
    air = smoothMin(air, ends, 8.0f);
    return smoothMax(air, 7.0f - corridorDistance(x, y, z), 3.0f);
}

float caveGridField(float x, float y, float z) {
    return caveField(x, y, z + kCaveGridShiftZ);
}
