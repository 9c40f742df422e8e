#include "math/Scalar.h"

#include <cmath>
#include <cstdint>
#include <cstring>

// sinSingle and cosSingle give the exact sine or cosine rounded to float, as an accurate
// extended-precision library sine of the float argument rounded to float does. They are written
// out here rather than left to the C library: libraries differ (an x87 fsin reduces large arguments
// with a 66-bit pi) and both targets must give the same bits. Only plain doubles are used (a double
// estimate, double-double where its rounding is in doubt), which SSE2 rounds identically
// everywhere.

namespace {

struct Double2 {
    double hi, lo;  // |lo| <= half an ulp of hi
};

Double2 quickTwoSum(double a, double b) {
    const double s = a + b;
    return {s, b - (s - a)};
}

Double2 twoSum(double a, double b) {
    const double s = a + b;
    const double bb = s - a;
    return {s, (a - (s - bb)) + (b - bb)};
}

// Dekker's exact product, without a fused multiply-add.
Double2 twoProduct(double a, double b) {
    const double kSplit = 134217729.0;  // 2^27 + 1
    const double ca = kSplit * a, cb = kSplit * b;
    const double ah = ca - (ca - a), al = a - ah;
    const double bh = cb - (cb - b), bl = b - bh;
    const double p = a * b;
    return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

Double2 add(Double2 a, Double2 b) {
    const Double2 s = twoSum(a.hi, b.hi);
    const Double2 t = twoSum(a.lo, b.lo);
    Double2 r = quickTwoSum(s.hi, s.lo + t.hi);
    return quickTwoSum(r.hi, r.lo + t.lo);
}

Double2 multiply(Double2 a, Double2 b) {
    const Double2 p = twoProduct(a.hi, b.hi);
    return quickTwoSum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

// a / d for a small integer d (exact as a double).
Double2 divide(Double2 a, double d) {
    const double q1 = a.hi / d;
    const Double2 p = twoProduct(q1, d);
    const double q2 = (((a.hi - p.hi) - p.lo) + a.lo) / d;
    return quickTwoSum(q1, q2);
}

// Rounds hi + lo to the nearest float: only a hi exactly halfway between two floats needs lo.
float roundToFloat(Double2 a) {
    const float f = static_cast<float>(a.hi);
    const double diff = a.hi - static_cast<double>(f);
    if (a.lo == 0.0 || diff == 0.0) return f;
    const float other = std::nextafter(f, diff > 0.0 ? HUGE_VALF : -HUGE_VALF);
    const double half = (static_cast<double>(other) - static_cast<double>(f)) * 0.5;
    if (diff != half) return f;
    return (a.lo > 0.0) == (diff > 0.0) ? other : f;
}

// Taylor series of sin r / r (odd = true) or cos r for |r| <= pi / 4, nested so that every
// coefficient is a division by an exact small integer: 1 - r^2/(2*3) (1 - r^2/(4*5) (1 - ...)).
Double2 series(Double2 r, bool odd) {
    const Double2 r2 = multiply(r, r);
    Double2 t{1.0, 0.0};
    for (int k = 14; k >= 1; --k) {
        const double d = odd ? (2.0 * k) * (2.0 * k + 1.0) : (2.0 * k - 1.0) * (2.0 * k);
        const Double2 term = divide(multiply(r2, t), d);
        t = add(Double2{1.0, 0.0}, Double2{-term.hi, -term.lo});
    }
    return odd ? multiply(t, r) : t;
}

// Bits of 2 / pi after the binary point; enough for any float argument.
constexpr std::uint32_t kTwoOverPi[] = {0xa2f9836e, 0x4e441529, 0xfc2757d1, 0xf534ddc0, 0xdb629599,
                                        0x3c439041, 0xfe5163ab, 0xdebbc561, 0xb7246e3a, 0x424dd2e0};

// The 32 bits of 2 / pi starting at bit i (bit 1 is the first after the point).
std::uint32_t twoOverPiBits(int i) {
    const int word = (i - 1) / 32, shift = (i - 1) % 32;
    const std::uint64_t pair =
        (static_cast<std::uint64_t>(kTwoOverPi[word]) << 32) | kTwoOverPi[word + 1];
    return static_cast<std::uint32_t>(pair >> (32 - shift));
}

// |x| = r + q pi / 2 with |r| <= pi / 4, for finite x: exact to double-double precision, whatever
// the size of x.
Double2 reduce(float x, int& quadrant) {
    const float ax = std::fabs(x);
    quadrant = 0;
    if (ax <= 0.785398163f) return {ax, 0.0};

    std::uint32_t bits;
    std::memcpy(&bits, &ax, sizeof bits);
    const std::uint64_t mantissa = (bits & 0x7fffffu) | 0x800000u;
    const int s = static_cast<int>(bits >> 23) - 150;  // ax = mantissa * 2^s, s >= -24
    // Bits of 2 / pi before i0 add multiples of 4 quadrants: only the 128 from i0 on matter.
    const int i0 = s - 1 > 1 ? s - 1 : 1;
    // product = mantissa * window, 160 bits in five words, least significant first.
    std::uint32_t product[5];
    std::uint64_t carry = 0;
    for (int w = 0; w < 4; ++w) {
        carry += mantissa * twoOverPiBits(i0 + 96 - 32 * w);
        product[w] = static_cast<std::uint32_t>(carry);
        carry >>= 32;
    }
    product[4] = static_cast<std::uint32_t>(carry);
    // ax * 2 / pi = product * 2^-fractionBits (modulo 4).
    const int fractionBits = i0 + 127 - s;
    quadrant = static_cast<int>((product[fractionBits / 32] >> (fractionBits % 32)) |
                                (fractionBits % 32 > 30 && fractionBits / 32 < 4
                                     ? product[fractionBits / 32 + 1] << (32 - fractionBits % 32)
                                     : 0u)) &
               3;

    Double2 f{0.0, 0.0};
    for (int w = 4; w >= 0; --w) {
        std::uint32_t word = product[w];
        const int low = 32 * w;
        if (low + 32 > fractionBits) {  // clear the integer bits
            if (low >= fractionBits) continue;
            word &= (1u << (fractionBits - low)) - 1u;
        }
        f = add(f, Double2{std::ldexp(static_cast<double>(word), low - fractionBits), 0.0});
    }
    if (f.hi >= 0.5) {
        f = add(f, Double2{-1.0, 0.0});
        quadrant = (quadrant + 1) & 3;
    }
    return multiply(f, Double2{1.5707963267948966, 6.123233995736766e-17});
}

Double2 negated(Double2 a) {
    return {-a.hi, -a.lo};
}

// sin r and cos r for |r| <= pi / 4 in plain doubles, to a few ulps.
double sinKernel(double r) {
    const double r2 = r * r;
    const double p =
        -1.0 / 6.0 +
        r2 * (1.0 / 120.0 +
              r2 * (-1.0 / 5040.0 +
                    r2 * (1.0 / 362880.0 + r2 * (-1.0 / 39916800.0 +
                                                 r2 * (1.0 / 6227020800.0 +
                                                       r2 * (-1.0 / 1307674368000.0 +
                                                             r2 * (1.0 / 355687428096000.0)))))));
    return r + r * r2 * p;
}

double cosKernel(double r) {
    const double r2 = r * r;
    const double p =
        1.0 / 24.0 +
        r2 * (-1.0 / 720.0 +
              r2 * (1.0 / 40320.0 +
                    r2 * (-1.0 / 3628800.0 +
                          r2 * (1.0 / 479001600.0 +
                                r2 * (-1.0 / 87178291200.0 + r2 * (1.0 / 20922789888000.0))))));
    return 1.0 - 0.5 * r2 + r2 * r2 * p;
}

// The float nearest to sin (odd) or cos of x, finite. A double estimate first, within 2^-48 of the
// value: below 2^19 from a three-part pi / 2 (each k * part exact), beyond from the exact
// reduction. Where that leaves the rounding to float in doubt (about one argument in ten million),
// the exact reduction and the double-double series decide.
float evaluate(float x, bool odd) {
    const double ax = std::fabs(x);
    int quadrant = 0;
    Double2 r{ax, 0.0};
    if (ax > 0.785398163 && ax < 524288.0) {
        const std::int32_t quadrants = static_cast<std::int32_t>(ax * 0.6366197723675814 + 0.5);
        const double k = quadrants;
        r.hi = ((ax - k * 1.5707963267341256) - k * 6.077100506303966e-11) -
               k * 2.0222662487959506e-21;
        quadrant = quadrants & 3;
    } else if (ax > 0.785398163) {
        r = reduce(x, quadrant);
    }
    bool useSine = odd != ((quadrant & 1) != 0);
    bool negative =
        (odd && x < 0.0f) != (odd ? (quadrant & 2) != 0 : quadrant == 1 || quadrant == 2);
    double v = useSine ? sinKernel(r.hi) + r.lo * (1.0 - 0.5 * r.hi * r.hi)
                       : cosKernel(r.hi) - r.lo * r.hi;
    if (negative) v = -v;
    const double kMargin = 1.0 / 35184372088832.0;  // 2^-45
    const float low = static_cast<float>(v - std::fabs(v) * kMargin);
    const float high = static_cast<float>(v + std::fabs(v) * kMargin);
    if (low == high) return low;

    r = reduce(x, quadrant);
    useSine = odd != ((quadrant & 1) != 0);
    negative = (odd && x < 0.0f) != (odd ? (quadrant & 2) != 0 : quadrant == 1 || quadrant == 2);
    const Double2 exact = series(r, useSine);
    return roundToFloat(negative ? negated(exact) : exact);
}

}  // namespace

float sinSingle(float x) {
    if (!std::isfinite(x)) return x - x;
    if (x == 0.0f) return x;  // keeps the sign of zero
    return evaluate(x, true);
}

float cosSingle(float x) {
    if (!std::isfinite(x)) return x - x;
    return evaluate(x, false);
}

float fmodSingle(float x, float y) {
    return static_cast<float>(std::fmod(static_cast<long double>(x), static_cast<long double>(y)));
}
