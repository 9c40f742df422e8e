#include "TempleRock.h"

#include <algorithm>
#include <cmath>

#include "RockNoise.h"

namespace {

constexpr float kTop = -25.0f;

float smoothstep(float a, float b, float x) {
    const float t = std::clamp((x - a) / (b - a), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

}  // namespace

float templeRockField(float x, float y, float z) {
    const float r = std::sqrt(x * x + z * z);
    const float depth = kTop - y;
    // Tucked well inside the lowest step (radius 41, underside at -26) down to the generator's
    // second layer (1.8 below the top), with no noise there: the surface between the two layers
    // is one band of triangles, and any bulge in it would poke through the step's edge. Below
    // that the rock swells out under the steps, then tapers to a point 50 down. The taper has a
    // finite slope all the way and the lumps shrink with the girth, so the generator's vertices
    // settle on the surface instead of being flung along a steep, noisy tip.
    const float fall = std::min(depth / 50.0f, 1.0f);
    const float swell = smoothstep(2.0f, 9.0f, depth);
    const float outline = (37.5f + 6.5f * swell) * (1.0f - fall * fall);
    const float girth = std::clamp(outline / 20.0f, 0.0f, 1.0f);
    const float strata = 1.8f * ridgedNoise(0.035f * x, 0.14f * y, 0.035f * z, 1);
    const float lumps = 4.0f * fractalNoise(0.045f * x, 0.03f * y, 0.045f * z, 2);
    const float outside =
        r - outline + swell * girth * (lumps - strata) + 2.0f * std::max(0.0f, depth - 50.0f);
    // The crypt under the well, where the light comes to rest and where the closing rise starts.
    const float dy = (y + 29.0f) / 7.5f;
    const float crypt = 12.0f * (1.0f - std::sqrt((r / 14.0f) * (r / 14.0f) + dy * dy)) +
                        1.2f * gradientNoise(0.15f * x, 0.15f * y, 0.15f * z);
    // A straight shaft from the crypt up to the well (radius 8 in the platform above), so the
    // walls meet the generator's top layer square on: a dome-shaped roof cut off by that layer
    // leaves vertices the generator pulls up towards a surface above its grid.
    const float shaft = std::min(10.0f - r, y + 30.0f);
    return smoothMax(outside, std::max(crypt, shaft), 1.5f);
}

float templeRockGridOffsetY() {
    const float step = 2.0f * kTempleRockExtent / static_cast<float>(kTempleRockGridSize - 1);
    return kTop - kTempleRockExtent - step;
}

float templeRockGridField(float x, float y, float z) {
    return templeRockField(x, y + templeRockGridOffsetY(), z);
}
