#include "geometry/Tube.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

namespace {

// Triangles from each ring of `sides` vertices to the next, wound counter-clockwise seen from
// outside when the rings run in rising order with their vertices by rising angle round y.
void stitchRings(MeshData& mesh, std::size_t rings, std::size_t sides) {
    const auto at = [sides](std::size_t ring, std::size_t side) {
        return static_cast<std::uint32_t>(ring * sides + side % sides);
    };
    for (std::size_t r = 0; r + 1 < rings; ++r) {
        for (std::size_t k = 0; k < sides; ++k) {
            mesh.indices.insert(mesh.indices.end(), {at(r, k), at(r + 1, k), at(r, k + 1),
                                                     at(r, k + 1), at(r + 1, k), at(r + 1, k + 1)});
        }
    }
}

}  // namespace

MeshData thinnedTube(const MeshData& tube, const std::vector<int>& keep) {
    // Ring heights, each with its vertices in order round y.
    std::map<float, std::vector<std::pair<float, int>>> levels;
    for (int v = 0; v < tube.vertexCount(); ++v) {
        const float* p = &tube.positions[static_cast<std::size_t>(v) * 4];
        levels[p[1]].push_back({std::atan2(p[2], p[0]), v});
    }
    MeshData mesh;
    const int count = static_cast<int>(levels.size());
    for (std::size_t r = 0; r < keep.size(); ++r) {
        if (keep[r] < 0 || keep[r] >= count || (r > 0 && keep[r] <= keep[r - 1])) return mesh;
    }
    if (keep.size() < 2) return mesh;
    std::vector<std::vector<std::pair<float, int>>> all;
    for (auto& level : levels) all.push_back(level.second);
    const std::size_t sides = all[static_cast<std::size_t>(keep[0])].size();
    if (sides < 3) return mesh;
    std::vector<const std::vector<std::pair<float, int>>*> kept;
    for (int k : keep) {
        auto& ring = all[static_cast<std::size_t>(k)];
        if (ring.size() != sides) return mesh;  // not a tube of equal rings
        std::sort(ring.begin(), ring.end());
        kept.push_back(&ring);
    }
    for (const auto* ring : kept) {
        for (const auto& [angle, v] : *ring) {
            const std::size_t i = static_cast<std::size_t>(v);
            mesh.positions.insert(mesh.positions.end(), &tube.positions[i * 4],
                                  &tube.positions[i * 4 + 4]);
            mesh.normals.insert(mesh.normals.end(), &tube.normals[i * 3], &tube.normals[i * 3 + 3]);
        }
    }
    stitchRings(mesh, kept.size(), sides);
    return mesh;
}

MeshData roundTube(const MeshData& tube, int sides) {
    std::map<float, std::pair<float, int>> levels;  // height: summed radius, vertex count
    for (int v = 0; v < tube.vertexCount(); ++v) {
        const float* p = &tube.positions[static_cast<std::size_t>(v) * 4];
        auto& level = levels[p[1]];
        level.first += std::sqrt(p[0] * p[0] + p[2] * p[2]);
        ++level.second;
    }
    MeshData mesh;
    if (sides < 3 || levels.size() < 2) return mesh;
    for (const auto& [y, level] : levels) {
        const float radius = level.first / static_cast<float>(level.second);
        for (int k = 0; k < sides; ++k) {
            const float angle =
                -3.14159265f + 6.2831853f * static_cast<float>(k) / static_cast<float>(sides);
            const float c = std::cos(angle), s = std::sin(angle);
            mesh.positions.insert(mesh.positions.end(), {radius * c, y, radius * s, 1.0f});
            mesh.normals.insert(mesh.normals.end(), {c, 0.0f, s});
        }
    }
    stitchRings(mesh, levels.size(), static_cast<std::size_t>(sides));
    return mesh;
}
