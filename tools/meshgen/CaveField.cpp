#include "CaveField.h"

#include <algorithm>
#include <cmath>

#include "RockNoise.h"

// The cave is a shaft along z, +z up, as the scene's world sees it once its quarter turn is
// applied: the camera rises from the bottom (z = -120), looking up at the light that hangs in a
// chamber half way (the origin), passes it looking sideways and ends looking down on it. Walls
// run in vertical flutes with horizontal bands; ledges stick out with flat tops and stalactites
// under them; side passages lead off into the dark.

namespace {

constexpr float kBottom = -136.0f;  // closed a little beyond the camera's first and last places
constexpr float kTop = 110.0f;

// The chamber round the light, where the boulder drifts across.
float chamber(float z) {
    return std::exp(-(z * z) * (1.0f / 900.0f));
}

// Shaft centre line and radius along z: wide rooms joined by narrower throats.
float centreX(float z) {
    return 1.0f + 0.00045f * z * z + 4.0f * std::sin(0.036f * z + 0.7f) +
           1.5f * std::sin(0.087f * z + 2.1f);
}
float centreY(float z) {
    return 4.5f + 2.0f * std::sin(0.027f * z + 1.9f);
}
float radius(float z) {
    return 24.5f + 5.0f * std::sin(0.06f * z + 0.4f) + 2.0f * std::sin(0.13f * z + 1.3f) +
           8.0f * chamber(z);
}

// Distance from the line the camera follows (about 9.5 off the axis in y, drifting out in x
// towards both ends); the walls are kept clear of it.
float corridorDistance(float x, float y, float z) {
    const float u = (z + 15.0f) * (1.0f / 105.0f);
    const float dx = x - (11.0f * u * u * u * u - 0.6f);
    const float dy = y - 9.5f;
    return std::sqrt(dx * dx + dy * dy);
}

// A ledge: at height z, sticking out `depth` from the wall over the half of the circle facing
// `angle`, with a flat top and a sloping underside. Stalactites hang from its lip where `hung`.
struct Ledge {
    float z, angle, depth;
    bool hung;
};
// Near the path's start the second is worn away and the next two bare: seen end on from below,
// their rock and stalactites stood across the view as knots and twisted arms. They keep their
// places, which number the others' stalactites.
constexpr Ledge kLedges[] = {{-104.0f, 2.2f, 7.0f, true}, {-76.0f, -0.9f, 0.0f, false},
                             {-47.0f, 3.6f, 7.5f, false}, {-24.0f, 0.6f, 8.0f, false},
                             {31.0f, 2.6f, 7.0f, true},   {58.0f, -1.4f, 6.5f, true},
                             {84.0f, 1.2f, 7.0f, true}};

float ledgeRock(float angle, float z) {
    float rock = 0.0f;
    for (const Ledge& l : kLedges) {
        const float u = z - l.z;
        // Far enough that the profile has died away: cut off closer, it left a step in the
        // wall, which the grid tore into slivers. The top rounds off over a few cells: a thinner
        // lip slipped between the grid's samples and left a gap at the hole's edge.
        if (u < -12.0f || u > 11.0f) continue;
        const float across = u < 0.0f ? std::exp(-(u * u) / 30.0f) : std::exp(-(u * u) / 16.0f);
        const float facing = std::clamp((std::cos(angle - l.angle) - 0.1f) * 1.5f, 0.0f, 1.0f);
        rock = std::max(rock, l.depth * across * facing);
    }
    return rock;
}

// Stalactites under the ledges' lips: vertical spikes, thickest at the top, with rounded tips
// no thinner than the generator's cells can hold.
float stalactites(float x, float y, float z) {
    float air = 1e9f;
    int n = 0;
    for (const Ledge& l : kLedges) {
        ++n;
        // Looked at a little beyond their ends, so that skipping them changes nothing near a wall.
        if (!l.hung || z > l.z + 6.0f || z < l.z - 30.0f) continue;
        for (int k = 0; k < 3; ++k) {
            const float a = l.angle + (hashUnit(n, k, 1) - 0.5f) * 2.2f;
            const float reach = radius(l.z) - l.depth + 1.5f;
            const float px = centreX(l.z) + 1.2f * reach * std::cos(a);
            const float py = centreY(l.z) + reach * std::sin(a);
            // None hangs where the camera passes.
            if (corridorDistance(px, py, l.z - 10.0f) < 13.0f) continue;
            const float length = 8.0f + 10.0f * hashUnit(n, k, 2);
            const float width = 4.5f + 1.5f * hashUnit(n, k, 3);
            const float tip = l.z - 2.0f - length;
            const float along = std::clamp((z - tip) / length, 0.0f, 1.0f);
            const float d = std::sqrt((x - px) * (x - px) + (y - py) * (y - py));
            const float below = std::max(tip - z, 0.0f);
            // Capped at the ledge's underside: cut off by the range above instead, the stub left a
            // step in the wall that the grid tore into slivers.
            const float spike = std::sqrt(d * d + below * below) - width * (0.45f + 0.55f * along);
            air = std::min(air, std::max(spike, z - l.z - 1.0f));
        }
    }
    return air;
}

// Side passages leaving the shaft horizontally and running off into the dark.
float sidePassages(float x, float y, float z) {
    const float at[3][4] = {// height, direction in x, radius, end x
                            {-92.0f, -1.0f, 8.0f, -50.0f},
                            {-38.0f, 1.0f, 7.0f, 52.0f},
                            {66.0f, -1.0f, 9.0f, -54.0f}};
    float air = -1e9f;
    for (const auto& t : at) {
        const float along = std::clamp(x * t[1], 0.0f, std::fabs(t[3]));
        const float dx = x - along * t[1];
        const float dy = y - (centreY(t[0]) - 6.0f + 0.004f * along * along);
        const float dz = z - (t[0] - 0.08f * along);
        air = std::max(air, t[2] - std::sqrt(dx * dx + dy * dy + dz * dz));
    }
    return air;
}

}  // namespace

float caveField(float x, float y, float z) {
    const float r = radius(z);
    const float dx = (x - centreX(z)) * (1.0f / 1.2f);
    const float dy = y - centreY(z);
    const float e = std::sqrt(dx * dx + dy * dy);
    // Deep in the rock: no detail can reach the surface from here.
    if (e > r + 16.0f) return r - e;

    const float angle = std::atan2(dy, dx);
    // Lobes that turn slowly with height, so the section is never a plain circle.
    const float lobes = 1.0f + 0.1f * std::sin(3.0f * angle + 0.05f * z) +
                        0.06f * std::sin(5.0f * angle - 0.031f * z + 1.0f);
    // Flowstone flutes run with gravity (stretched along z); ridged bands cross them. Both kept
    // shallow: the walls are lined with courses of blocks, and deep relief warped those into a
    // soup with no way along the shaft.
    // Near the camera's path the relief and the ledges give way, so walls there are never cut.
    const float clearance = corridorDistance(x, y, z);
    // Low in the shaft, where the camera's path begins, the flutes are shallower: close to the
    // lens they twisted the courses of blocks into knots that did not read as a shaft.
    const float calmTop = 0.4f + 0.6f * std::clamp((z + 95.0f) * (1.0f / 40.0f), 0.0f, 1.0f);
    const float relief = std::clamp((clearance - 6.0f) * 0.125f, 0.35f, 1.0f) * calmTop;
    float air = r * lobes - e +
                relief * (2.5f * fractalNoise(0.05f * x, 0.05f * y, 0.018f * z, 3) -
                          1.0f * ridgedNoise(0.05f * x, 0.05f * y, 0.17f * z + 3.0f, 2));
    air -= ledgeRock(angle, z) * std::clamp((clearance - 9.0f) * 0.2f, 0.0f, 1.0f);
    air = smoothMin(air, stalactites(x, y, z), 1.5f);
    air = smoothMax(air, sidePassages(x, y, z) + 2.0f * gradientNoise(0.1f * x, 0.1f * y, 0.1f * z),
                    4.0f);

    // Rounded bottom and top beyond the camera's ends, closed over the camera's clearance too:
    // the clearance runs on along the path's line, and cut last it left a hole through each end
    // out of the grid, a flat patch of the clear colour at the bottom of the shaft.
    air = smoothMax(air, 6.0f - clearance, 3.0f);
    const float ends =
        std::min(z - kBottom, kTop - z) + 3.0f * gradientNoise(0.07f * x, 0.07f * y, 0.5f);
    return smoothMin(air, ends, 8.0f);
}

float caveGridField(float x, float y, float z) {
    return caveField(x, y, z + kCaveGridShiftZ);
}
