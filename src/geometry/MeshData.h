#pragma once
#include <cstdint>
#include <vector>

// Triangle mesh arrays as they are uploaded: positions (x, y, z, w) and unit normals (x, y, z)
// per vertex, three 32-bit indices per triangle.
struct MeshData {
    std::vector<float> positions;
    std::vector<float> normals;
    std::vector<std::uint32_t> indices;

    int vertexCount() const { return static_cast<int>(positions.size() / 4); }
    int triangleCount() const { return static_cast<int>(indices.size() / 3); }
};
