#include "support/MatrixChecks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

void expectMatrixNear(const std::vector<double>& uploaded, const Matrix4& expected,
                      double tolerance) {
    ASSERT_EQ(uploaded.size(), 16u);
    for (int i = 0; i < 16; ++i) {
        const double e = expected.m[i];
        EXPECT_NEAR(uploaded[i], e, tolerance * std::max(1.0, std::fabs(e))) << "element " << i;
    }
}
