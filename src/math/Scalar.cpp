#include "math/Scalar.h"

#include <cmath>

float sinSingle(float x) { return static_cast<float>(std::sin(static_cast<long double>(x))); }

float cosSingle(float x) { return static_cast<float>(std::cos(static_cast<long double>(x))); }

float fmodSingle(float x, float y) {
    return static_cast<float>(std::fmod(static_cast<long double>(x), static_cast<long double>(y)));
}
