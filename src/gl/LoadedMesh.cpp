#include "gl/LoadedMesh.h"

#include <cstdint>

#include "geometry/MeshFile.h"

LoadedMesh uploadMesh(const MeshData& mesh) {
    LoadedMesh loaded;
    loaded.geometry = std::make_unique<GeometryBuffer>();
    if (mesh.indices.empty()) return loaded;
    loaded.geometry->setAttribute(0, 4, mesh.vertexCount(), mesh.positions.data());
    loaded.geometry->setAttribute(1, 3, mesh.vertexCount(), mesh.normals.data());
    loaded.geometry->setIndices(static_cast<std::uint32_t>(mesh.indices.size()),
                                mesh.indices.data());
    loaded.indexCount = static_cast<int>(mesh.indices.size());
    return loaded;
}

LoadedMesh loadMesh(const char* path) {
    MeshData mesh;
    readMeshFile(path, mesh);
    return uploadMesh(mesh);
}

SurfaceMesh generateSurfaceMesh(int n, float extent, SurfaceField field) {
    return uploadMesh(generateSurfaceData(n, extent, field));
}
