#pragma once
#include "geometry/MeshData.h"

// A scalar field whose zero set is the surface.
using SurfaceField = float (*)(float x, float y, float z);
// A field along a line parallel to the y axis: out[m] = field(x, ys[m], z) for m < count.
using SurfaceColumn = void (*)(float x, float z, const float* ys, int count, float* out);

// The mesh of `field` on an n^3 grid spanning [-extent, extent]: one vertex per cell the surface
// crosses, pulled onto it, with a gradient normal; neighbouring cells joined into triangles.
// Evaluates every lattice point once (a column at a time for the fields that have a column form)
// and splits the work across all cores; the output is bit-identical to
// generateSurfaceDataStraightforward.
MeshData generateSurfaceData(int n, float extent, SurfaceField field);
// Eight field calls per cell, one thread: the reference and the benchmark baseline.
MeshData generateSurfaceDataStraightforward(int n, float extent, SurfaceField field);
