#pragma once
#include "geometry/MeshData.h"

// Puts the triangles in the order of a Morton curve through cubes of `cell` units (by their
// centres), and numbers the vertices in the order the triangles first use them. The mesh is the
// same; what changes is how a rasterizer meets it: neighbours come one after another, so a small
// cache of shaded vertices is hit far more often, and the pixels drawn next lie close together.
void orderForLocality(MeshData& mesh, float cell);
