#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "math/Scalar.h"

namespace {

struct Case {
    float x, sine, cosine;
};

// The exact values rounded to float. Large arguments and near multiples of pi / 2 are where a
// short argument reduction (the x87 fsin's 66-bit pi) goes wrong.
constexpr Case kCases[] = {
    {0x1.0f0cfp+73f, -0x1.77d988p-1f, 0x1.5badeep-1f},    // 1e22
    {0x1.c363ccp+127f, 0x1.bff388p-1f, -0x1.efeaf8p-2f},  // 3e38
    {0x1p+24f, -0x1.8f22f8p-1f, 0x1.40ad68p-1f},
    {0x1.921c68p+16f, 0x1.46bfc2p-3f, -0x1.f9710cp-1f},
    {0x1.921fb6p+0f, 0x1p+0f, -0x1.777a5cp-25f},  // pi / 2
    {0x1.921fb6p+16f, 0x1.777a3cp-9f, 0x1.ffff76p-1f},
    {0x1.63p+8f, -0x1.f9bd04p-16f, -0x1p+0f},  // 355, near 113 pi
    {0x1.4484cp-100f, 0x1.4484cp-100f, 0x1p+0f},
    {0x1.921fb6p-1f, 0x1.6a09e6p-1f, 0x1.6a09e6p-1f},  // pi / 4
};

TEST(Scalar, SineAndCosineAreTheExactValuesRoundedToFloat) {
    for (const Case& c : kCases) {
        EXPECT_EQ(sinSingle(c.x), c.sine) << c.x;
        EXPECT_EQ(cosSingle(c.x), c.cosine) << c.x;
        EXPECT_EQ(sinSingle(-c.x), -c.sine) << c.x;
        EXPECT_EQ(cosSingle(-c.x), c.cosine) << c.x;
    }
}

TEST(Scalar, ZerosAndNonFiniteArguments) {
    EXPECT_TRUE(std::signbit(sinSingle(-0.0f)));
    EXPECT_FALSE(std::signbit(sinSingle(0.0f)));
    EXPECT_EQ(cosSingle(-0.0f), 1.0f);
    const float inf = std::numeric_limits<float>::infinity();
    for (float x : {inf, -inf, std::numeric_limits<float>::quiet_NaN()}) {
        EXPECT_TRUE(std::isnan(sinSingle(x)));
        EXPECT_TRUE(std::isnan(cosSingle(x)));
    }
}

TEST(Scalar, FmodKeepsTheSignOfTheDividend) {
    EXPECT_EQ(fmodSingle(7.5f, 2.0f), 1.5f);
    EXPECT_EQ(fmodSingle(-7.5f, 2.0f), -1.5f);
    EXPECT_EQ(fmodSingle(1e30f, 3.0f), std::fmod(1e30f, 3.0f));
}

}  // namespace
