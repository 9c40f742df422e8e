#include <gtest/gtest.h>

#include "geometry/SurfaceFields.h"

namespace {

TEST(SurfaceFields, ZeroSetsSitWhereTheShapesAre) {
    EXPECT_EQ(wallField(-5.0f, 0.0f, 0.0f), 0.0f);
    EXPECT_LT(wallField(-6.0f, 0.0f, 0.0f), 0.0f);
    EXPECT_EQ(rippledSphereField(0.0f, 5.0f, 0.0f), 0.0f);
    EXPECT_EQ(rippledSphereField(0.0f, 0.0f, -5.0f), 0.0f);
    EXPECT_EQ(canyonField(0.0f, -5.0f, 0.0f), 0.0f);
    // Away from the y axis the ground rises: y = -5 is below it there.
    EXPECT_LT(canyonField(150.0f, -5.0f, 0.0f), -1.0f);
}

TEST(SurfaceFields, CappedCylinderMeasuresToTheSideOrTheCaps) {
    EXPECT_FLOAT_EQ(cappedCylinder(0.3f, 0.0f, 0.4f, 0.1f, 10.0f), 0.4f);
    EXPECT_FLOAT_EQ(cappedCylinder(0.0f, 12.0f, 0.0f, 0.1f, 10.0f), 2.0f);
    EXPECT_FLOAT_EQ(cappedCylinder(0.0f, -11.0f, 0.0f, 0.1f, 10.0f), 1.0f);
    EXPECT_LT(cappedCylinder(0.05f, 9.0f, 0.0f, 0.1f, 10.0f), 0.0f);
}

TEST(SurfaceFields, CylinderPairAddsAWiderShortCylinderBelowTheFirst) {
    // At y = -9 the second cylinder (radius 0.12, y from -10.25 to -7.75) is the nearer one.
    EXPECT_NEAR(cylinderPair(0.11f, -9.0f, 0.0f, 0.1f, 10.0f), -0.01f, 1e-6f);
    EXPECT_NEAR(cylinderPair(0.0f, -10.2f, 0.0f, 0.1f, 10.0f), -0.05f, 1e-5f);
    EXPECT_NEAR(cylinderPair(0.11f, 0.0f, 0.0f, 0.1f, 10.0f), 0.01f, 1e-6f);
    // The rod field's grid (extent 3) sees the thin rod alone.
    EXPECT_EQ(rodField(0.3f, 2.0f, 0.4f), cappedCylinder(0.3f, 2.0f, 0.4f, 0.1f, 10.0f));
}

}  // namespace
