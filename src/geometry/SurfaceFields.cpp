#include "geometry/SurfaceFields.h"

#include <algorithm>
#include <cmath>

// Sines are single precision: float argument, float result. Where a step is kept in double, the
// local is a double; every float local is a rounding step.

float wallField(float x, float y, float z) {
    float s = std::sin(0.3f * y) + std::sin(0.2f * z);
    double w = s + (x + 5.0);
    float q = std::sin(0.14f * y) + std::sin(0.11f * z);
    return static_cast<float>(q + w);
}

float rippledSphereField(float x, float y, float z) {
    float ripple = std::sin(x) * std::sin(0.8f * x);
    float radius = std::sqrt(x * x + y * y + z * z);
    return static_cast<float>(ripple + (radius - 5.0));
}

float canyonField(float x, float y, float z) {
    float g = std::sin(0.14f * x) + std::sin(0.11f * z);
    float waves = std::sin(0.3f * x) + std::sin(0.2f * z);
    double base = waves + (y + 5.0) + g;
    float meander = std::sin(0.0564f * x) + std::fabs(std::sin(0.0765f * z));
    double m = meander + 1.5;
    float swell = std::sin(0.0233f * x) + std::sin(0.0123f * z);
    double w = (swell + 2.1) * m * (g + 1.5);
    float r = std::sqrt(x * x + z * z);
    float u = static_cast<float>(r * w / 100.0);
    return static_cast<float>(base - u);
}

float rodField(float x, float y, float z) {
    return cylinderPair(x, y, z, 0.1f, 10.0f);
}

float cappedCylinder(float x, float y, float z, float r, float h) {
    float radial = std::sqrt(x * x + z * z);
    return std::max({radial - r, -y - h, y - h});
}

float cylinderPair(float x, float y, float z, float r, float h) {
    // The wider factor is the float 1.2 widened to double; the product goes back to float.
    const double kWider = static_cast<double>(1.2f);
    float lowered = y + ((2.0f * h - h) - 1.0f);
    return std::min(cappedCylinder(x, y, z, r, h),
                    cappedCylinder(x, lowered, z, static_cast<float>(r * kWider), 1.25f));
}
