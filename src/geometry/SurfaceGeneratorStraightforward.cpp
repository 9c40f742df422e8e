// The generator exactly as first designed: eight field calls per cell, one thread. It is the
// reference the production generator is compared against bit for bit, and the benchmark baseline.
#include <cmath>
#include <vector>

#include "geometry/SurfaceGenerator.h"
#include "geometry/SurfaceGrid.h"

namespace {

struct Point {
    float x, y, z;
};

// d and the unnormalised forward-difference gradient at p, offset `step`; returns d.
float fieldAndGradient(SurfaceField field, Point p, float step, Point& gradient) {
    float d = field(p.x, p.y, p.z);
    gradient.x = field(p.x + step, p.y, p.z) - d;
    gradient.y = field(p.x, p.y + step, p.z) - d;
    gradient.z = field(p.x, p.y, p.z + step) - d;
    return d;
}

Point normalised(Point g) {
    float length = std::sqrt(g.x * g.x + g.y * g.y + g.z * g.z);
    float inverse = 1.0f / length;
    return {g.x * inverse, g.y * inverse, g.z * inverse};
}

}  // namespace

MeshData generateSurfaceDataStraightforward(int n, float extent, SurfaceField field) {
    MeshData mesh;
    if (n < 2) return mesh;
    const std::size_t cells = static_cast<std::size_t>(n) * n * n;
    std::vector<unsigned char> active(cells, 0);
    std::vector<std::uint32_t> vertexOf(cells, 0);
    auto cell = [n](int i, int j, int k) { return (static_cast<std::size_t>(i) * n + j) * n + k; };
    auto coord = [n, extent](int g) { return gridCoordinate(g, n, extent); };

    std::size_t signChanges = 0;
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            for (int k = 0; k < n; ++k) {
                float f0 = field(coord(i), coord(j), coord(k));
                for (int corner = 1; corner < 8; ++corner) {
                    int di = corner >> 2, dj = (corner >> 1) & 1, dk = corner & 1;
                    float f = field(coord(i + di), coord(j + dj), coord(k + dk));
                    if (f * f0 < 0.0f) {
                        active[cell(i, j, k)] = 1;
                        ++signChanges;
                    }
                }
            }
        }
    }

    mesh.positions.reserve(signChanges * 4);
    mesh.normals.reserve(signChanges * 3);
    std::uint32_t vertexCount = 0;
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            for (int k = 0; k < n; ++k) {
                if (!active[cell(i, j, k)]) continue;
                vertexOf[cell(i, j, k)] = vertexCount++;
                Point p = {coord(i), coord(j), coord(k)};
                Point g;
                for (int step = 0; step < kProjectionSteps; ++step) {
                    float d = fieldAndGradient(field, p, kProjectionEpsilon, g);
                    Point unit = normalised(g);
                    p = {p.x - unit.x * d, p.y - unit.y * d, p.z - unit.z * d};
                }
                fieldAndGradient(field, p, kNormalEpsilon, g);
                Point normal = normalised(g);
                mesh.positions.insert(mesh.positions.end(), {p.x, p.y, p.z, 1.0f});
                mesh.normals.insert(mesh.normals.end(), {normal.x, normal.y, normal.z});
            }
        }
    }

    auto on = [&](int i, int j, int k) { return active[cell(i, j, k)] != 0; };
    auto v = [&](int i, int j, int k) { return vertexOf[cell(i, j, k)]; };
    std::size_t triangles = 0;
    for (int i = 0; i + 1 < n; ++i) {
        for (int j = 0; j + 1 < n; ++j) {
            for (int k = 0; k + 1 < n; ++k) {
                if (!on(i, j, k)) continue;
                if (on(i + 1, j, k) && on(i, j + 1, k) && on(i + 1, j + 1, k)) triangles += 2;
                if (on(i + 1, j, k) && on(i, j, k + 1) && on(i + 1, j, k + 1)) triangles += 2;
                if (on(i, j, k + 1) && on(i, j + 1, k) && on(i, j + 1, k + 1)) triangles += 2;
            }
        }
    }
    mesh.indices.reserve(triangles * 3);
    for (int i = 0; i + 1 < n; ++i) {
        for (int j = 0; j + 1 < n; ++j) {
            for (int k = 0; k + 1 < n; ++k) {
                if (!on(i, j, k)) continue;
                if (on(i + 1, j, k) && on(i, j + 1, k) && on(i + 1, j + 1, k)) {
                    mesh.indices.insert(mesh.indices.end(),
                                        {v(i, j, k), v(i + 1, j, k), v(i, j + 1, k), v(i, j + 1, k),
                                         v(i + 1, j, k), v(i + 1, j + 1, k)});
                }
                if (on(i + 1, j, k) && on(i, j, k + 1) && on(i + 1, j, k + 1)) {
                    mesh.indices.insert(mesh.indices.end(),
                                        {v(i, j, k), v(i + 1, j, k), v(i, j, k + 1), v(i, j, k + 1),
                                         v(i + 1, j, k), v(i + 1, j, k + 1)});
                }
                if (on(i, j, k + 1) && on(i, j + 1, k) && on(i, j + 1, k + 1)) {
                    mesh.indices.insert(mesh.indices.end(),
                                        {v(i, j, k), v(i, j, k + 1), v(i, j + 1, k), v(i, j + 1, k),
                                         v(i, j, k + 1), v(i, j + 1, k + 1)});
                }
            }
        }
    }
    return mesh;
}
