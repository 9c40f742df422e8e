#include "CaveModel.h"

#include <cstddef>
#include <cstdint>
#include <utility>

#include "CaveField.h"
#include "MeshBuilder.h"
#include "MeshOrder.h"
#include "geometry/SurfaceGenerator.h"

namespace {

// Winds every triangle to face up the field's gradient at its centre, into the air. The vertex
// normals alone mislead on slivers at sharp lips, whose corners lie on both sides of the edge:
// wound the wrong way, the routine's culling drops them and the clear colour shows through.
void orientToField(MeshData& mesh) {
    const float h = 0.02f;
    for (std::size_t t = 0; t + 2 < mesh.indices.size(); t += 3) {
        std::uint32_t* tri = &mesh.indices[t];
        float p[3][3], centre[3];
        for (int c = 0; c < 3; ++c)
            for (int k = 0; k < 3; ++k) p[c][k] = mesh.positions[4 * tri[c] + k];
        for (int k = 0; k < 3; ++k) centre[k] = (p[0][k] + p[1][k] + p[2][k]) / 3.0f;
        float facing = 0.0f;
        for (int k = 0; k < 3; ++k) {
            float up[3] = {centre[0], centre[1], centre[2]},
                  down[3] = {centre[0], centre[1], centre[2]};
            up[k] += h;
            down[k] -= h;
            const int a = (k + 1) % 3, b = (k + 2) % 3;
            const float face = (p[1][a] - p[0][a]) * (p[2][b] - p[0][b]) -
                               (p[1][b] - p[0][b]) * (p[2][a] - p[0][a]);
            facing +=
                face * (caveField(up[0], up[1], up[2]) - caveField(down[0], down[1], down[2]));
        }
        if (facing < 0.0f) std::swap(tri[1], tri[2]);
    }
}

}  // namespace

MeshData buildCaveMesh() {
    MeshData mesh = generateSurfaceData(kCaveGridSize, kCaveGridExtent, caveGridField);
    // The grid sampled caveField at z + shift; the vertices follow.
    for (std::size_t i = 2; i < mesh.positions.size(); i += 4) mesh.positions[i] += kCaveGridShiftZ;
    orientToField(mesh);
    orderForLocality(mesh, 2.0f);
    return mesh;
}
