#include "math/Matrix4.h"

#include <gtest/gtest.h>

#include <cmath>

#include "math/Scalar.h"

namespace {

Matrix4 make(std::initializer_list<float> values) {
    Matrix4 m{};
    int i = 0;
    for (float v : values) m.m[i++] = v;
    return m;
}

Matrix4 identityMatrix() {
    Matrix4 m;
    identity(m);
    return m;
}

}  // namespace

TEST(Matrix4, MultiplyTakesTheLeftFactorFirst) {
    const Matrix4 a = make({1, 2, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
    const Matrix4 b = make({1, 0, 0, 0, 3, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
    Matrix4 ab, ba;
    multiply(ab, a, b);
    multiply(ba, b, a);
    // a*b row 0 = (1*1 + 2*3, 2*1) = (7, 2); b*a row 1 = (3*1, 3*2 + 1) = (3, 7).
    EXPECT_EQ(ab.m[0], 7.0f);
    EXPECT_EQ(ab.m[1], 2.0f);
    EXPECT_EQ(ba.m[4], 3.0f);
    EXPECT_EQ(ba.m[5], 7.0f);

    Matrix4 same;
    multiply(same, identityMatrix(), b);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(same.m[i], b.m[i]);
}

TEST(Matrix4, MultiplyRoundsTheRunningSumToFloat) {
    // 1e8 + 1 - 1e8 loses the 1 when every partial sum is a float.
    const Matrix4 a = make({1e8f, 1, -1e8f, 0});
    Matrix4 b{};
    b.m[0] = b.m[4] = b.m[8] = 1;
    Matrix4 out;
    multiply(out, a, b);
    EXPECT_EQ(out.m[0], 0.0f);
}

TEST(Matrix4, TranslateAndScaleActOnRows) {
    Matrix4 m = identityMatrix();
    translate(m, 1, 2, 3);
    translate(m, 10, 20, 30);
    EXPECT_EQ(m.m[12], 11.0f);
    EXPECT_EQ(m.m[13], 22.0f);
    EXPECT_EQ(m.m[14], 33.0f);
    EXPECT_EQ(m.m[15], 1.0f);

    scale(m, 2, 3, 4);
    EXPECT_EQ(m.m[0], 2.0f);
    EXPECT_EQ(m.m[5], 3.0f);
    EXPECT_EQ(m.m[10], 4.0f);
    EXPECT_EQ(m.m[12], 11.0f);  // row 3 untouched by scale
}

TEST(Matrix4, RotateComposesXThenYThenZ) {
    Matrix4 m = identityMatrix();
    rotate(m, 1.5707964f, 0, 0, 1);
    EXPECT_NEAR(m.m[0], 0.0f, 1e-7);
    EXPECT_EQ(m.m[1], -1.0f);
    EXPECT_EQ(m.m[4], 1.0f);
    EXPECT_NEAR(m.m[5], 0.0f, 1e-7);

    Matrix4 still = make({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
    const Matrix4 before = still;
    rotate(still, 0.7f, 0, 0, 0);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(still.m[i], before.m[i]);

    // rotate(m, t, 0.2, 0.3, 0) on the identity is Ry(0.3t) * Rx(0.2t); check against the
    // product formed in double.
    const double t = 2.0, ax = 0.2f * 2.0f, ay = 0.3f * 2.0f;
    Matrix4 r = identityMatrix();
    rotate(r, static_cast<float>(t), 0.2f, 0.3f, 0.0f);
    const double ry[9] = {std::cos(ay), 0, std::sin(ay), 0, 1, 0, -std::sin(ay), 0, std::cos(ay)};
    const double rx[9] = {1, 0, 0, 0, std::cos(ax), -std::sin(ax), 0, std::sin(ax), std::cos(ax)};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            double v = 0;
            for (int k = 0; k < 3; ++k) v += ry[3 * i + k] * rx[3 * k + j];
            EXPECT_NEAR(r.m[4 * i + j], v, 1e-6) << i << "," << j;
        }
}

TEST(Matrix4, PerspectiveForTheFrameProjection) {
    Matrix4 p;
    perspective(p, 0.4f, 720.0f / 1280.0f, 1.0f, 200.0f);
    EXPECT_FLOAT_EQ(p.m[0], 2.5f);
    EXPECT_FLOAT_EQ(p.m[5], 2.5f * 1280.0f / 720.0f);
    EXPECT_FLOAT_EQ(p.m[10], -201.0f / 199.0f);
    EXPECT_FLOAT_EQ(p.m[11], -400.0f / 199.0f);
    EXPECT_EQ(p.m[14], -1.0f);
    EXPECT_EQ(p.m[15], 0.0f);
    EXPECT_EQ(p.m[2], 0.0f);
    EXPECT_EQ(p.m[6], 0.0f);
}

TEST(Matrix4, LookAtRowsAndSigns) {
    Matrix4 v;
    lookAt(v, 0, 0, 5, 0, 0, 0, 0, 1, 0);
    const float expected[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 0, 0, -5, 1};
    for (int i = 0; i < 16; ++i) EXPECT_EQ(v.m[i], expected[i]) << i;

    // Off-axis: row 3 is (+eye.x_axis, +eye.y_axis, -eye.z_axis), axes as rows, z negated.
    lookAt(v, 3, 4, 5, 1, 0, 0, 0, 1, 0);
    const double d[3] = {-2, -4, -5}, len = std::sqrt(45.0);
    const double z[3] = {-d[0] / len, -d[1] / len, -d[2] / len};
    EXPECT_NEAR(v.m[8], -z[0], 1e-6);
    EXPECT_NEAR(v.m[9], -z[1], 1e-6);
    EXPECT_NEAR(v.m[10], -z[2], 1e-6);
    EXPECT_NEAR(v.m[14], -(3 * z[0] + 4 * z[1] + 5 * z[2]), 1e-5);
    EXPECT_NEAR(v.m[12], 3 * v.m[0] + 4 * v.m[1] + 5 * v.m[2], 1e-5);
    EXPECT_EQ(v.m[15], 1.0f);

}

TEST(Scalar, SingleHelpersRoundTheExtendedResult) {
    EXPECT_EQ(sinSingle(0.0f), 0.0f);
    EXPECT_EQ(sinSingle(1.0f), static_cast<float>(std::sin(1.0)));
    EXPECT_EQ(cosSingle(2.5f), static_cast<float>(std::cos(2.5)));
    EXPECT_EQ(fmodSingle(7.5f, 3.0f), 1.5f);
    EXPECT_EQ(fmodSingle(-7.5f, 3.0f), -1.5f);
    EXPECT_EQ(fmodSingle(37.0f, 10.0f), 7.0f);
}
