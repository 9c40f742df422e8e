#include "Lettering.h"

#include <cmath>

#include "DistanceField.h"

float Lettering::alphaAt(int x, int y, float grow) const {
    return clamp01(0.5f + grow - distance.at(x, y));
}

Lettering makeLettering(int width, int height, int factor,
                        const std::function<void(Plane&, float)>& draw) {
    Plane fine(width * factor, height * factor);
    draw(fine, static_cast<float>(factor));
    Lettering l;
    l.coverage = downsample(fine, factor);
    l.distance = downsample(signedDistance(fine), factor, 1.0f / factor);
    return l;
}

Plane bevelHeight(const Lettering& letters, float width) {
    Plane h(letters.distance.width(), letters.distance.height());
    for (int y = 0; y < h.height(); ++y)
        for (int x = 0; x < h.width(); ++x) {
            float t = clamp01(-letters.distance.at(x, y) / width);
            h.at(x, y) = std::sqrt(1.0f - (1.0f - t) * (1.0f - t));  // quarter-round profile
        }
    return h;
}

float glowAt(float distance, float radius) {
    if (distance <= 0.0f) return 1.0f;
    float x = distance / radius;
    return std::exp(-2.5f * x * x) * 0.7f + std::exp(-4.0f * x) * 0.3f;
}

Rgba metal(const ColorRamp& ramp, float t, Vec3 normal, Vec3 light) {
    // Tilted facets reflect a different part of the gradient, as a chrome surface would.
    Rgba c = ramp(clamp01(t - 0.45f * normal.y));
    float d = diffuse(normal, light);
    float s = specular(normal, light, 40.0f);
    float k = 0.65f + 0.45f * d;
    return {clamp01(c.r * k + s * 0.8f), clamp01(c.g * k + s * 0.8f), clamp01(c.b * k + s * 0.75f),
            1.0f};
}
