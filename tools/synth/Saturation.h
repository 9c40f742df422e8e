#pragma once

#include <cmath>

// Soft saturation: linear for small signals, rounding off toward ±1 as the drive rises.
inline float saturate(float x, double drive) {
    if (drive <= 0.0) return x;
    const double d = 1.0 + drive;
    return static_cast<float>(std::tanh(d * x) / std::tanh(d));
}
