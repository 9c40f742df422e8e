#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "MeshOrder.h"

namespace {

using Corner = std::array<float, 7>;  // position and normal
using Triangle = std::array<Corner, 3>;

// The triangles as what they are, not how they are numbered: each starts at its least corner,
// keeping its winding, and the list is sorted.
std::vector<Triangle> triangles(const MeshData& m) {
    std::vector<Triangle> out;
    for (std::size_t t = 0; t < m.indices.size(); t += 3) {
        Triangle tri;
        for (int c = 0; c < 3; ++c) {
            const std::uint32_t v = m.indices[t + c];
            EXPECT_LT(v, static_cast<std::uint32_t>(m.vertexCount()));
            if (v >= static_cast<std::uint32_t>(m.vertexCount())) return {};
            for (int k = 0; k < 4; ++k) tri[c][k] = m.positions[4 * v + k];
            for (int k = 0; k < 3; ++k) tri[c][4 + k] = m.normals[3 * v + k];
        }
        std::rotate(tri.begin(), std::min_element(tri.begin(), tri.end()), tri.end());
        out.push_back(tri);
    }
    std::sort(out.begin(), out.end());
    return out;
}

// Shared and unshared vertices far apart and interleaved, and one vertex no triangle uses: the
// same triangles, windings and normals come out, and the unused vertex is kept.
TEST(MeshOrder, KeepsEveryTriangleItsWindingAndItsNormals) {
    MeshData m;
    for (int v = 0; v < 9; ++v) {
        const float x = (v % 2 ? 40.0f : -3.0f) + v, y = v * 0.5f, z = v % 3 ? -7.0f : 11.0f;
        m.positions.insert(m.positions.end(), {x, y, z, 1.0f});
        m.normals.insert(m.normals.end(), {0.0f, v * 0.1f, 1.0f});
    }
    m.indices = {0, 2, 4, 1, 3, 5, 2, 4, 6, 3, 5, 7, 8, 1, 0};
    m.positions.insert(m.positions.end(), {5.0f, 5.0f, 5.0f, 1.0f});  // vertex 9: unused
    m.normals.insert(m.normals.end(), {1.0f, 0.0f, 0.0f});
    const std::vector<Triangle> before = triangles(m);

    orderForLocality(m, 2.0f);
    EXPECT_EQ(triangles(m), before);
    ASSERT_EQ(m.vertexCount(), 10);
    EXPECT_EQ(m.positions[4 * 9], 5.0f);
    EXPECT_EQ(m.normals[3 * 9], 1.0f);
}

}  // namespace
