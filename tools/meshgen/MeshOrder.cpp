#include "MeshOrder.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace {

// The low 10 bits of v spread out to every third bit.
std::uint32_t spread(std::uint32_t v) {
    v &= 0x3ffu;
    v = (v | (v << 16)) & 0x030000ffu;
    v = (v | (v << 8)) & 0x0300f00fu;
    v = (v | (v << 4)) & 0x030c30c3u;
    v = (v | (v << 2)) & 0x09249249u;
    return v;
}

}  // namespace

void orderForLocality(MeshData& mesh, float cell) {
    const std::size_t triangles = mesh.indices.size() / 3;
    const std::size_t vertices = mesh.positions.size() / 4;
    if (triangles == 0 || cell <= 0.0f) return;
    // Cubes counted from the mesh's lowest corner, so every coordinate gives a cube number >= 0.
    float low[3] = {0.0f, 0.0f, 0.0f};
    for (int k = 0; k < 3; ++k) {
        low[k] = mesh.positions[k];
        for (std::size_t v = 0; v < vertices; ++v)
            low[k] = std::min(low[k], mesh.positions[4 * v + k]);
    }
    std::vector<std::pair<std::uint32_t, std::uint32_t>> keyed(triangles);  // (code, triangle)
    for (std::size_t t = 0; t < triangles; ++t) {
        std::uint32_t code = 0;
        for (int k = 0; k < 3; ++k) {
            float sum = 0.0f;
            for (int c = 0; c < 3; ++c) sum += mesh.positions[4 * mesh.indices[3 * t + c] + k];
            const float at = (sum / 3.0f - low[k]) / cell;
            code |= spread(static_cast<std::uint32_t>(std::max(at, 0.0f))) << k;
        }
        keyed[t] = {code, static_cast<std::uint32_t>(t)};
    }
    std::sort(keyed.begin(), keyed.end());

    const std::uint32_t unused = 0xffffffffu;
    std::vector<std::uint32_t> renumbered(vertices, unused);
    std::vector<std::uint32_t> order;  // old vertex numbers, in their new order
    order.reserve(vertices);
    std::vector<std::uint32_t> indices;
    indices.reserve(mesh.indices.size());
    for (const auto& k : keyed) {
        for (int c = 0; c < 3; ++c) {
            const std::uint32_t v = mesh.indices[3 * k.second + c];
            if (renumbered[v] == unused) {
                renumbered[v] = static_cast<std::uint32_t>(order.size());
                order.push_back(v);
            }
            indices.push_back(renumbered[v]);
        }
    }
    // Vertices no triangle uses keep their places after the rest.
    for (std::size_t v = 0; v < vertices; ++v)
        if (renumbered[v] == unused) order.push_back(static_cast<std::uint32_t>(v));

    std::vector<float> positions, normals;
    positions.reserve(mesh.positions.size());
    normals.reserve(mesh.normals.size());
    for (std::uint32_t v : order) {
        positions.insert(positions.end(), &mesh.positions[4 * v], &mesh.positions[4 * v] + 4);
        normals.insert(normals.end(), &mesh.normals[3 * v], &mesh.normals[3 * v] + 3);
    }
    mesh.positions = std::move(positions);
    mesh.normals = std::move(normals);
    mesh.indices = std::move(indices);
}
