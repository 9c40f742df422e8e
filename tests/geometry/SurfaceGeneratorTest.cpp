#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "SharedGlContext.h"
#include "geometry/SurfaceFields.h"
#include "geometry/SurfaceGenerator.h"
#include "geometry/Tube.h"
#include "gl/GeometryBuffer.h"
#include "gl/GlEntryTable.h"
#include "gl/LoadedMesh.h"

namespace {

float sphereField(float x, float y, float z) {
    return std::sqrt(x * x + y * y + z * z) - 5.0f;
}
// Zero exactly on the lattice plane x = 0 when n is odd.
float latticePlane(float x, float, float) {
    return x;
}
float offLatticePlane(float x, float, float) {
    return x - 0.01f;
}
// Crosses only the far corners of the last cell layer: x = 1 + half a step for n = 33, E = 1.
float beyondTheGrid(float x, float, float) {
    return x - (1.0f + 1.0f / 32.0f);
}

bool sameBytes(const std::vector<float>& a, const std::vector<float>& b) {
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * 4) == 0);
}

bool sameBits(const MeshData& a, const MeshData& b) {
    return sameBytes(a.positions, b.positions) && sameBytes(a.normals, b.normals) &&
           a.indices == b.indices;
}

void expectIndicesInRange(const MeshData& mesh) {
    for (std::uint32_t index : mesh.indices) {
        ASSERT_LT(index, static_cast<std::uint32_t>(mesh.vertexCount()));
    }
}

TEST(SurfaceGenerator, SphereVerticesLieOnTheRadiusWithOutwardNormals) {
    MeshData mesh = generateSurfaceData(32, 20.0f, sphereField);
    ASSERT_GT(mesh.vertexCount(), 100);
    ASSERT_GT(mesh.triangleCount(), 100);
    expectIndicesInRange(mesh);
    for (int v = 0; v < mesh.vertexCount(); ++v) {
        const float* p = &mesh.positions[v * 4];
        const float* n = &mesh.normals[v * 3];
        float radius = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
        EXPECT_NEAR(radius, 5.0f, 2e-6f) << v;
        EXPECT_EQ(p[3], 1.0f);
        EXPECT_NEAR(std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]), 1.0f, 1e-6f);
        EXPECT_GT((n[0] * p[0] + n[1] * p[1] + n[2] * p[2]) / radius, 0.99f) << v;
    }
    EXPECT_TRUE(sameBits(mesh, generateSurfaceDataStraightforward(32, 20.0f, sphereField)));
}

TEST(SurfaceGenerator, ZeroOnABaseCornerDoesNotCountAsACrossing) {
    // Every cell beside the plane has a corner exactly on it, so no product is negative.
    for (auto generate : {generateSurfaceData, generateSurfaceDataStraightforward}) {
        EXPECT_EQ(generate(33, 1.0f, latticePlane).vertexCount(), 0);
        // Moved off the lattice: one layer of 33 x 33 cells, all pulled onto x = 0.01.
        MeshData sheet = generate(33, 1.0f, offLatticePlane);
        ASSERT_EQ(sheet.vertexCount(), 33 * 33);
        EXPECT_EQ(sheet.triangleCount(), 32 * 32 * 2);
        for (int v = 0; v < sheet.vertexCount(); ++v) {
            EXPECT_NEAR(sheet.positions[v * 4], 0.01f, 1e-7f);
        }
    }
}

TEST(SurfaceGenerator, LastLayerCellsGetVerticesButStartNoSquares) {
    for (auto generate : {generateSurfaceData, generateSurfaceDataStraightforward}) {
        MeshData mesh = generate(33, 1.0f, beyondTheGrid);
        EXPECT_EQ(mesh.vertexCount(), 33 * 33);
        EXPECT_EQ(mesh.triangleCount(), 0);
    }
}

TEST(SurfaceGenerator, GridsTooSmallToSpanTheExtentGiveNothing) {
    for (int n : {-1, 0, 1}) {
        EXPECT_EQ(generateSurfaceData(n, 1.0f, sphereField).vertexCount(), 0);
        EXPECT_EQ(generateSurfaceDataStraightforward(n, 1.0f, sphereField).vertexCount(), 0);
    }
}

// The production generator against the reference, bit for bit, at the sizes the demo loads.
struct LoadPhaseMesh {
    const char* name;
    int n;
    float extent;
    SurfaceField field;
};

class SurfaceGeneratorIdentity : public ::testing::TestWithParam<LoadPhaseMesh> {};

TEST_P(SurfaceGeneratorIdentity, ProductionMatchesTheReferenceBitForBit) {
    const LoadPhaseMesh& m = GetParam();
    MeshData reference = generateSurfaceDataStraightforward(m.n, m.extent, m.field);
    MeshData production = generateSurfaceData(m.n, m.extent, m.field);
    ASSERT_GT(reference.triangleCount(), 0);
    expectIndicesInRange(reference);
    EXPECT_EQ(production.vertexCount(), reference.vertexCount());
    EXPECT_EQ(production.triangleCount(), reference.triangleCount());
    EXPECT_TRUE(sameBits(production, reference));
    EXPECT_TRUE(sameBits(production, generateSurfaceData(m.n, m.extent, m.field)));
}

INSTANTIATE_TEST_SUITE_P(LoadPhase, SurfaceGeneratorIdentity,
                         ::testing::Values(LoadPhaseMesh{"wall", 32, 200.0f, wallField},
                                           LoadPhaseMesh{"rippledSphere", 32, 20.0f,
                                                         rippledSphereField},
                                           LoadPhaseMesh{"canyon", 128, 200.0f, canyonField},
                                           LoadPhaseMesh{"rod", 32, 1.5f, rodField}),
                         [](const auto& info) { return std::string(info.param.name); });

// The rockets' fins are drawn from four of the rod's 32 rings: each kept ring whole, in order
// round the rod, stitched to the next; a request the tube cannot answer gives nothing.
TEST(ThinnedTube, KeepsWholeRingsInOrderAndStitchesThem) {
    const MeshData rod = generateSurfaceData(32, 1.5f, rodField);
    const MeshData fin = thinnedTube(rod, {0, 10, 21, 31});
    ASSERT_EQ(fin.vertexCount(), 4 * 8);
    EXPECT_EQ(fin.triangleCount(), 3 * 8 * 2);
    for (int v = 0; v < fin.vertexCount(); ++v) {
        const float* p = &fin.positions[static_cast<std::size_t>(v) * 4];
        const float* n = &fin.normals[static_cast<std::size_t>(v) * 3];
        EXPECT_FLOAT_EQ(p[1], fin.positions[static_cast<std::size_t>(v / 8) * 32 + 1]) << v;
        EXPECT_NEAR(std::hypot(p[0], p[2]), 0.1f, 1e-5f) << v;
        EXPECT_GT(n[0] * p[0] + n[2] * p[2], 0.0f) << v;  // the normal points out
        if (v % 8 > 0) {
            EXPECT_LT(std::atan2(p[-2], p[-4]), std::atan2(p[2], p[0])) << v;
        }
    }
    EXPECT_FLOAT_EQ(fin.positions[1], -1.5f);
    EXPECT_FLOAT_EQ(fin.positions[31 * 4 + 1], 1.5f);
    for (std::uint32_t i : fin.indices) EXPECT_LT(i, 32u);
    EXPECT_EQ(thinnedTube(rod, {0}).vertexCount(), 0);
    EXPECT_EQ(thinnedTube(rod, {0, 32}).vertexCount(), 0);
    EXPECT_EQ(thinnedTube(rod, {5, 5}).vertexCount(), 0);
    EXPECT_EQ(thinnedTube(MeshData{}, {0, 1}).vertexCount(), 0);
    EXPECT_EQ(thinnedTube(generateSurfaceData(16, 20.0f, rippledSphereField), {0, 3}).vertexCount(),
              0);
}

// The near rockets' rod: every ring regular, at its own height, wound as the thinned tube.
TEST(RoundTube, MakesEveryRingRegularAtItsHeight) {
    const MeshData rod = generateSurfaceData(32, 1.5f, rodField);
    const MeshData round = roundTube(rod, 16);
    ASSERT_EQ(round.vertexCount(), 32 * 16);
    EXPECT_EQ(round.triangleCount(), 31 * 16 * 2);
    const MeshData thin = thinnedTube(rod, {0, 1});
    for (int v = 0; v < round.vertexCount(); ++v) {
        const float* p = &round.positions[static_cast<std::size_t>(v) * 4];
        const float* n = &round.normals[static_cast<std::size_t>(v) * 3];
        EXPECT_NEAR(std::hypot(p[0], p[2]), 0.1f, 1e-4f) << v;
        EXPECT_NEAR(n[0] * p[0] + n[2] * p[2], std::hypot(p[0], p[2]), 1e-5f) << v;  // straight out
        const float angle = -3.14159265f + 0.39269908f * static_cast<float>(v % 16);
        EXPECT_NEAR(n[0], std::cos(angle), 1e-5f) << v;
        EXPECT_NEAR(n[2], std::sin(angle), 1e-5f) << v;
    }
    EXPECT_FLOAT_EQ(round.positions[1], -1.5f);
    EXPECT_FLOAT_EQ(round.positions[16 * 4 + 1], thin.positions[8 * 4 + 1]);
    EXPECT_FLOAT_EQ(round.positions[31 * 16 * 4 + 1], 1.5f);
    // The same winding as the thinned tube's first quad.
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(round.indices[i] / 16 * 8 + round.indices[i] % 16, thin.indices[i]);
    EXPECT_EQ(roundTube(rod, 2).vertexCount(), 0);
    EXPECT_EQ(roundTube(MeshData{}, 16).vertexCount(), 0);
}

TEST(SurfaceMeshUpload, UploadsPositionsNormalsAndIndices) {
    ASSERT_TRUE(sharedGlContext());
    MeshData data = generateSurfaceData(32, 20.0f, sphereField);
    SurfaceMesh mesh = generateSurfaceMesh(32, 20.0f, sphereField);
    EXPECT_EQ(mesh.indexCount, static_cast<int>(data.indices.size()));
    EXPECT_EQ(mesh.geometry->indexed, 1);

    std::vector<float> normals(data.normals.size());
    gl.glBindBuffer(GL_ARRAY_BUFFER, mesh.geometry->attributeBuffers[1]);
    gl.glGetBufferSubData(GL_ARRAY_BUFFER, 0, normals.size() * 4, normals.data());
    gl.glBindBuffer(GL_ARRAY_BUFFER, 0);
    EXPECT_EQ(normals, data.normals);
    GLint size = 0;
    gl.glBindVertexArray(mesh.geometry->vertexArray);
    gl.glGetVertexAttribiv(0, GL_VERTEX_ATTRIB_ARRAY_SIZE, &size);
    gl.glBindVertexArray(0);
    EXPECT_EQ(size, 4);

    SurfaceMesh empty = generateSurfaceMesh(33, 1.0f, latticePlane);
    EXPECT_EQ(empty.indexCount, 0);
    EXPECT_EQ(empty.geometry->indexed, 0);
}

}  // namespace
