#pragma once
#include <memory>

#include "geometry/MeshData.h"
#include "geometry/SurfaceGenerator.h"
#include "gl/GeometryBuffer.h"

// A drawable mesh: its geometry (positions on attribute 0, normals on 1, 32-bit indices) and the
// count to pass to draw.
struct LoadedMesh {
    std::unique_ptr<GeometryBuffer> geometry;
    int indexCount = 0;
};

// Generated meshes are the same pair.
using SurfaceMesh = LoadedMesh;

// Mesh arrays uploaded into a new GeometryBuffer (an empty mesh gives an empty buffer).
LoadedMesh uploadMesh(const MeshData& mesh);
// Reads, validates and uploads one mesh file, printing its counts; a file that is missing or bad
// gives one message, an empty buffer and index count 0.
LoadedMesh loadMesh(const char* path);
// The mesh of `field` (see generateSurfaceData), uploaded.
SurfaceMesh generateSurfaceMesh(int n, float extent, SurfaceField field);
