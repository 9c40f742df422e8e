#include <gtest/gtest.h>

#include <cmath>

#include "TempleModel.h"

// The dome's ribs stop short of the oculus: the rim's inner face, which the coffered inside
// meets from below, stays a true circle, so no sky shows through the seam between them.
TEST(TempleDome, OculusRimStaysRoundUnderTheRibbedShell) {
    const MeshData mesh = buildTempleMesh();
    int rimVertices = 0;
    for (std::size_t i = 0; i + 3 < mesh.positions.size(); i += 4) {
        const float x = mesh.positions[i], y = mesh.positions[i + 1], z = mesh.positions[i + 2];
        const float r = std::hypot(x, z);
        // Between the coffered inside's edge (y 26.8) and the rim's top (30.7), near the axis.
        if (y < 26.9f || y > 31.0f || r > kTempleOculusRadius + 1.0f) continue;
        EXPECT_NEAR(r, kTempleOculusRadius, 1e-3f) << "at y " << y;
        ++rimVertices;
    }
    EXPECT_GT(rimVertices, 100);
}
