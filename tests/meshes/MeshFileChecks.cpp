#include "MeshFileChecks.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

namespace {

struct V {
    double x, y, z;
};
V operator-(V a, V b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
V operator+(V a, V b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
V operator*(V a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}
double dot(V a, V b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// Closest point to p on triangle abc (regions of the triangle's Voronoi diagram).
V closestOnTriangle(V p, V a, V b, V c) {
    const V ab = b - a, ac = c - a, ap = p - a;
    const double d1 = dot(ab, ap), d2 = dot(ac, ap);
    if (d1 <= 0 && d2 <= 0) return a;
    const V bp = p - b;
    const double d3 = dot(ab, bp), d4 = dot(ac, bp);
    if (d3 >= 0 && d4 <= d3) return b;
    const double vc = d1 * d4 - d3 * d2;
    if (vc <= 0 && d1 >= 0 && d3 <= 0) return a + ab * (d1 / (d1 - d3));
    const V cp = p - c;
    const double d5 = dot(ab, cp), d6 = dot(ac, cp);
    if (d6 >= 0 && d5 <= d6) return c;
    const double vb = d5 * d2 - d1 * d6;
    if (vb <= 0 && d2 >= 0 && d6 <= 0) return a + ac * (d2 / (d2 - d6));
    const double va = d3 * d6 - d5 * d4;
    if (va <= 0 && (d4 - d3) >= 0 && (d5 - d6) >= 0)
        return b + (c - b) * ((d4 - d3) / ((d4 - d3) + (d5 - d6)));
    const double denom = 1.0 / (va + vb + vc);
    return a + ab * (vb * denom) + ac * (vc * denom);
}

}  // namespace

std::vector<std::uint8_t> readFileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

SurfacePoint nearestSurface(const MeshData& mesh, const double p[3]) {
    const V q = {p[0], p[1], p[2]};
    const auto at = [&](std::uint32_t i) {
        return V{mesh.positions[4 * i], mesh.positions[4 * i + 1], mesh.positions[4 * i + 2]};
    };
    // Squared distance from q to each triangle, skipping those that cannot beat `limit`.
    const auto distanceTo = [&](std::size_t t, double limit) {
        const std::uint32_t* tri = &mesh.indices[t];
        const V a = at(tri[0]), b = at(tri[1]), c = at(tri[2]);
        const V centre = (a + b + c) * (1.0 / 3.0);
        const double reach =
            std::sqrt(std::max({dot(a - centre, a - centre), dot(b - centre, b - centre),
                                dot(c - centre, c - centre)}));
        const double toCentre = std::sqrt(dot(q - centre, q - centre)) - reach;
        if (toCentre > 0 && toCentre * toCentre > limit) return 1e300;
        const V near = closestOnTriangle(q, a, b, c);
        return dot(q - near, q - near);
    };
    double best = 1e300;
    for (std::size_t t = 0; t + 2 < mesh.indices.size(); t += 3)
        best = std::min(best, distanceTo(t, best));

    // The nearest point may be a corner or an edge shared by several triangles (a spike's tip):
    // the side is decided by all of them together, their normals summed.
    SurfacePoint result;
    result.distance = std::sqrt(best);
    const double tied = (result.distance + 1e-4) * (result.distance + 1e-4);
    V normal = {0, 0, 0}, offset = {0, 0, 0};
    for (std::size_t t = 0; t + 2 < mesh.indices.size(); t += 3) {
        if (distanceTo(t, tied) > tied) continue;
        const std::uint32_t* tri = &mesh.indices[t];
        for (int k = 0; k < 3; ++k)
            normal = normal + V{mesh.normals[3 * tri[k]], mesh.normals[3 * tri[k] + 1],
                                mesh.normals[3 * tri[k] + 2]};
        offset = offset + (q - closestOnTriangle(q, at(tri[0]), at(tri[1]), at(tri[2])));
    }
    result.outside = dot(offset, normal) >= 0;
    return result;
}
