#include "CaveModel.h"

#include <cstddef>

#include "CaveField.h"
#include "MeshBuilder.h"
#include "MeshOrder.h"
#include "geometry/SurfaceGenerator.h"

MeshData buildCaveMesh() {
    MeshData mesh = generateSurfaceData(kCaveGridSize, kCaveGridExtent, caveGridField);
    // The grid sampled caveField at z + shift; the vertices follow.
    for (std::size_t i = 2; i < mesh.positions.size(); i += 4) mesh.positions[i] += kCaveGridShiftZ;
    orientToNormals(mesh);
    orderForLocality(mesh, 2.0f);
    return mesh;
}
