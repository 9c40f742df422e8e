#include "geometry/SurfaceFields.h"

#include <algorithm>
#include <cmath>

#include "math/Scalar.h"

// Sines are single precision (sinSingle: float argument, float result, the same bits on every
// target). Where a step is kept in double, the local is a double; every float local is a rounding
// step.
//
// Each field is written as its terms that do not depend on y (one "column" of the lattice) and the
// rest; the point form and the column form share that code, so they agree bit for bit.

namespace {

struct WallColumn {
    double x5;
    float sinZ1, sinZ2;
};

WallColumn wallColumn(float x, float z) {
    return {x + 5.0, sinSingle(0.2f * z), sinSingle(0.11f * z)};
}

float wallAt(const WallColumn& c, float y) {
    float s = sinSingle(0.3f * y) + c.sinZ1;
    double w = s + c.x5;
    float q = sinSingle(0.14f * y) + c.sinZ2;
    return static_cast<float>(q + w);
}

struct SphereColumn {
    float ripple, xx, zz;
};

SphereColumn sphereColumn(float x, float z) {
    return {sinSingle(x) * sinSingle(0.8f * x), x * x, z * z};
}

float sphereAt(const SphereColumn& c, float y) {
    float radius = std::sqrt(c.xx + y * y + c.zz);
    return static_cast<float>(c.ripple + (radius - 5.0));
}

struct CanyonColumn {
    float waves, g, u;
};

CanyonColumn canyonColumn(float x, float z) {
    float g = sinSingle(0.14f * x) + sinSingle(0.11f * z);
    float waves = sinSingle(0.3f * x) + sinSingle(0.2f * z);
    float meander = sinSingle(0.0564f * x) + std::fabs(sinSingle(0.0765f * z));
    double m = meander + 1.5;
    float swell = sinSingle(0.0233f * x) + sinSingle(0.0123f * z);
    double w = (swell + 2.1) * m * (g + 1.5);
    float r = std::sqrt(x * x + z * z);
    float u = static_cast<float>(r * w / 100.0);
    return {waves, g, u};
}

float canyonAt(const CanyonColumn& c, float y) {
    double base = c.waves + (y + 5.0) + c.g;
    return static_cast<float>(base - c.u);
}

// The radial term rounded to float before r is taken off.
float radialDistance(float x, float z) {
    return std::sqrt(x * x + z * z);
}

float cappedAt(float radial, float y, float r, float h) {
    return std::max({radial - r, -y - h, y - h});
}

// Two capped cylinders about the y axis sharing the radial distance: (r, h), and a 1.2 times wider,
// shorter one lowered by h + 1. The wider factor is the float 1.2 widened to double; the product
// goes back to float.
float pairAt(float radial, float y, float r, float h) {
    const double kWider = static_cast<double>(1.2f);
    float lowered = y + ((2.0f * h - h) - 1.0f);
    return std::min(cappedAt(radial, y, r, h),
                    cappedAt(radial, lowered, static_cast<float>(r * kWider), 1.25f));
}

float rodAt(float radial, float y) {
    return pairAt(radial, y, 0.1f, 10.0f);
}

template <typename Column, typename MakeColumn, typename At>
void fillColumn(MakeColumn make, At at, float x, float z, const float* ys, int count, float* out) {
    Column c = make(x, z);
    for (int m = 0; m < count; ++m) out[m] = at(c, ys[m]);
}

void wallFieldColumn(float x, float z, const float* ys, int count, float* out) {
    fillColumn<WallColumn>(wallColumn, wallAt, x, z, ys, count, out);
}

void rippledSphereFieldColumn(float x, float z, const float* ys, int count, float* out) {
    fillColumn<SphereColumn>(sphereColumn, sphereAt, x, z, ys, count, out);
}

void canyonFieldColumn(float x, float z, const float* ys, int count, float* out) {
    fillColumn<CanyonColumn>(canyonColumn, canyonAt, x, z, ys, count, out);
}

void rodFieldColumn(float x, float z, const float* ys, int count, float* out) {
    fillColumn<float>(radialDistance, rodAt, x, z, ys, count, out);
}

}  // namespace

float wallField(float x, float y, float z) {
    return wallAt(wallColumn(x, z), y);
}

float rippledSphereField(float x, float y, float z) {
    return sphereAt(sphereColumn(x, z), y);
}

float canyonField(float x, float y, float z) {
    return canyonAt(canyonColumn(x, z), y);
}

float rodField(float x, float y, float z) {
    return rodAt(radialDistance(x, z), y);
}

float cappedCylinder(float x, float y, float z, float r, float h) {
    return cappedAt(radialDistance(x, z), y, r, h);
}

float cylinderPair(float x, float y, float z, float r, float h) {
    return pairAt(radialDistance(x, z), y, r, h);
}

SurfaceColumn columnFormOf(SurfaceField field) {
    if (field == wallField) return wallFieldColumn;
    if (field == rippledSphereField) return rippledSphereFieldColumn;
    if (field == canyonField) return canyonFieldColumn;
    if (field == rodField) return rodFieldColumn;
    return nullptr;
}
