#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "geometry/MeshData.h"

// The committed mesh files and the geometry checks the mesh tests share.
constexpr const char* kTemplePath = "assets/mesh/pantheon.mesh";
constexpr const char* kCavePath = "assets/mesh/cave.mesh";

std::vector<std::uint8_t> readFileBytes(const std::string& path);

struct SurfacePoint {
    double distance = 1e300;  // to the nearest triangle
    bool outside = false;     // on the side its normals face
};
// The triangle of `mesh` nearest to p, and which side of it p is on.
SurfacePoint nearestSurface(const MeshData& mesh, const double p[3]);
