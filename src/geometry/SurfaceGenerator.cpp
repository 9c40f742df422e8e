#include "geometry/SurfaceGenerator.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "geometry/ParallelFor.h"
#include "geometry/SurfaceFields.h"
#include "geometry/SurfaceGrid.h"

// The production generator gives the same bytes as the straightforward one, faster:
// - the field is evaluated once per lattice point (the straightforward one asks for each corner
//   once per cell that has it, eight times over), with the same float coordinates, and a column
//   at a time where the field has a column form: its terms without y are then computed once (the
//   projection steps use it too, for a point and its y neighbour);
// - slabs of the lattice, cell flags, vertices and triangles are shared out across all cores, and
//   every result goes to a slot fixed by the cell order, so the output does not depend on timing;
// - the eight projection steps stop repeating work once the point returns to an earlier value:
//   a step is a pure function of the point, so from then on the sequence only cycles.

namespace {

struct Point {
    float x, y, z;
};

bool samePoint(const Point& a, const Point& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

Point normalised(Point g) {
    float length = std::sqrt(g.x * g.x + g.y * g.y + g.z * g.z);
    float inverse = 1.0f / length;
    return {g.x * inverse, g.y * inverse, g.z * inverse};
}

// The field, evaluated through its column form where it has one: the value at a point and at its
// y neighbour then come from one column call, sharing the terms without y.
struct FieldSampler {
    SurfaceField field;
    SurfaceColumn column;

    // The values at p and at p + (0, step, 0).
    void pair(Point p, float step, float& d, float& above) const {
        if (column) {
            const float ys[2] = {p.y, p.y + step};
            float out[2];
            column(p.x, p.z, ys, 2, out);
            d = out[0];
            above = out[1];
        } else {
            d = field(p.x, p.y, p.z);
            above = field(p.x, p.y + step, p.z);
        }
    }

    // The unit forward-difference gradient at p, from d = field(p) and above = field(p + step y).
    Point unitGradient(Point p, float step, float d, float above) const {
        return normalised(
            {field(p.x + step, p.y, p.z) - d, above - d, field(p.x, p.y, p.z + step) - d});
    }
};

// Pulls the base corner p (field value d0, from the lattice) onto the surface and writes the
// position and normal.
void placeVertex(const FieldSampler& sampler, Point p, float d0, float* position, float* normal) {
    Point visited[kProjectionSteps + 1];
    float value[kProjectionSteps + 1];
    visited[0] = p;
    value[0] = d0;
    int last = kProjectionSteps;  // index in `visited` of the point after all steps
    for (int step = 0; step < kProjectionSteps; ++step) {
        Point q = visited[step];
        float d = d0;
        float above;
        if (step == 0) {
            above = sampler.field(q.x, q.y + kProjectionEpsilon, q.z);
        } else {
            sampler.pair(q, kProjectionEpsilon, d, above);
            value[step] = d;
        }
        Point unit = sampler.unitGradient(q, kProjectionEpsilon, d, above);
        Point next = {q.x - unit.x * d, q.y - unit.y * d, q.z - unit.z * d};
        int earlier = -1;
        for (int s = step; s >= 0 && earlier < 0; --s) {
            if (samePoint(visited[s], next)) earlier = s;
        }
        visited[step + 1] = next;
        if (earlier >= 0) {
            int period = step + 1 - earlier;
            last = earlier + (kProjectionSteps - earlier) % period;
            break;
        }
    }
    Point q = visited[last];
    float d;
    float above;
    if (last < kProjectionSteps) {
        d = value[last];
        above = sampler.field(q.x, q.y + kNormalEpsilon, q.z);
    } else {
        sampler.pair(q, kNormalEpsilon, d, above);
    }
    Point n = sampler.unitGradient(q, kNormalEpsilon, d, above);
    position[0] = q.x;
    position[1] = q.y;
    position[2] = q.z;
    position[3] = 1.0f;
    normal[0] = n.x;
    normal[1] = n.y;
    normal[2] = n.z;
}

}  // namespace

MeshData generateSurfaceData(int n, float extent, SurfaceField field) {
    MeshData mesh;
    if (n < 2) return mesh;
    const int side = n + 1;  // lattice points per axis: the last cell layer's far corners too
    std::vector<float> coord(side);
    for (int g = 0; g < side; ++g) coord[g] = gridCoordinate(g, n, extent);

    // Stored x, then z, then y, so that a column along y is contiguous.
    std::vector<float> lattice(static_cast<std::size_t>(side) * side * side);
    auto at = [&](int i, int j, int k) -> float& {
        return lattice[(static_cast<std::size_t>(i) * side + k) * side + j];
    };
    const SurfaceColumn column = columnFormOf(field);
    const FieldSampler sampler = {field, column};
    parallelFor(side, [&](int i) {
        for (int k = 0; k < side; ++k) {
            if (column) {
                column(coord[i], coord[k], coord.data(), side, &at(i, 0, k));
            } else {
                for (int j = 0; j < side; ++j) at(i, j, k) = field(coord[i], coord[j], coord[k]);
            }
        }
    });

    // Cell flags and, per x slab, the active cells in order.
    const std::size_t cells = static_cast<std::size_t>(n) * n * n;
    auto cell = [n](int i, int j, int k) { return (static_cast<std::size_t>(i) * n + j) * n + k; };
    std::vector<unsigned char> active(cells, 0);
    std::vector<std::vector<std::uint32_t>> slabActive(n);
    parallelFor(n, [&](int i) {
        // Visited along y, the lattice's order in memory; listed in cell order afterwards.
        for (int k = 0; k < n; ++k) {
            const float* a = &at(i, 0, k);
            const float* b = &at(i, 0, k + 1);
            const float* c = &at(i + 1, 0, k);
            const float* d = &at(i + 1, 0, k + 1);
            unsigned char* flag = &active[cell(i, 0, k)];
            for (int j = 0; j < n; ++j) {
                float f0 = a[j];
                bool crossed = (a[j + 1] * f0 < 0.0f) | (b[j] * f0 < 0.0f) |
                               (b[j + 1] * f0 < 0.0f) | (c[j] * f0 < 0.0f) |
                               (c[j + 1] * f0 < 0.0f) | (d[j] * f0 < 0.0f) | (d[j + 1] * f0 < 0.0f);
                flag[static_cast<std::size_t>(j) * n] = crossed;
            }
        }
        for (std::size_t c = cell(i, 0, 0); c < cell(i + 1, 0, 0); ++c) {
            if (active[c]) slabActive[i].push_back(static_cast<std::uint32_t>(c));
        }
    });

    std::vector<std::uint32_t> activeCells;
    for (const auto& slab : slabActive)
        activeCells.insert(activeCells.end(), slab.begin(), slab.end());
    slabActive = {};
    std::vector<std::uint32_t> vertexOf(cells, 0);
    const int vertexCount = static_cast<int>(activeCells.size());
    for (int v = 0; v < vertexCount; ++v) vertexOf[activeCells[v]] = static_cast<std::uint32_t>(v);

    mesh.positions.resize(static_cast<std::size_t>(vertexCount) * 4);
    mesh.normals.resize(static_cast<std::size_t>(vertexCount) * 3);
    const int kChunk = 64;
    parallelFor((vertexCount + kChunk - 1) / kChunk, [&](int chunk) {
        int end = std::min(vertexCount, (chunk + 1) * kChunk);
        for (int v = chunk * kChunk; v < end; ++v) {
            std::uint32_t c = activeCells[v];
            int k = static_cast<int>(c % n);
            int j = static_cast<int>(c / n % n);
            int i = static_cast<int>(c / n / n);
            placeVertex(sampler, {coord[i], coord[j], coord[k]}, at(i, j, k),
                        &mesh.positions[static_cast<std::size_t>(v) * 4],
                        &mesh.normals[static_cast<std::size_t>(v) * 3]);
        }
    });

    // Triangles per x slab, concatenated in slab order.
    std::vector<std::vector<std::uint32_t>> slabIndices(n - 1);
    auto on = [&](int i, int j, int k) { return active[cell(i, j, k)] != 0; };
    auto vx = [&](int i, int j, int k) { return vertexOf[cell(i, j, k)]; };
    parallelFor(n - 1, [&](int i) {
        std::vector<std::uint32_t>& out = slabIndices[i];
        for (int j = 0; j + 1 < n; ++j) {
            for (int k = 0; k + 1 < n; ++k) {
                if (!on(i, j, k)) continue;
                if (on(i + 1, j, k) && on(i, j + 1, k) && on(i + 1, j + 1, k)) {
                    out.insert(out.end(), {vx(i, j, k), vx(i + 1, j, k), vx(i, j + 1, k),
                                           vx(i, j + 1, k), vx(i + 1, j, k), vx(i + 1, j + 1, k)});
                }
                if (on(i + 1, j, k) && on(i, j, k + 1) && on(i + 1, j, k + 1)) {
                    out.insert(out.end(), {vx(i, j, k), vx(i + 1, j, k), vx(i, j, k + 1),
                                           vx(i, j, k + 1), vx(i + 1, j, k), vx(i + 1, j, k + 1)});
                }
                if (on(i, j, k + 1) && on(i, j + 1, k) && on(i, j + 1, k + 1)) {
                    out.insert(out.end(), {vx(i, j, k), vx(i, j, k + 1), vx(i, j + 1, k),
                                           vx(i, j + 1, k), vx(i, j, k + 1), vx(i, j + 1, k + 1)});
                }
            }
        }
    });
    std::size_t indexCount = 0;
    for (const auto& slab : slabIndices) indexCount += slab.size();
    mesh.indices.reserve(indexCount);
    for (const auto& slab : slabIndices)
        mesh.indices.insert(mesh.indices.end(), slab.begin(), slab.end());
    return mesh;
}
