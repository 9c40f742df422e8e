#pragma once

class GeometryBuffer;

// A drawable mesh: its geometry (positions on attribute 0, normals on 1, 32-bit indices) and the
// count to pass to draw. Owned by whoever loaded or generated it.
struct LoadedMesh {
    GeometryBuffer* geometry = nullptr;
    int indexCount = 0;
};

// Generated meshes are the same pair.
using SurfaceMesh = LoadedMesh;
