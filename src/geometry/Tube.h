#pragma once
#include <vector>

#include "geometry/MeshData.h"

// A tube along y (its vertices in rings of equal y, as the generator gives the rod) kept at the
// rings `keep` names (0 the lowest; in rising order) and stitched ring to ring in order round y.
// Where a shape changes linearly along y, such as the rockets' fins, fewer rings draw the same
// surface. An empty mesh if the kept rings differ in size or have under three vertices, or if
// `keep` names rings the tube lacks.
MeshData thinnedTube(const MeshData& tube, const std::vector<int>& keep);

// The same tube with its rings made regular: at each ring's height, `sides` vertices evenly round
// y at the ring's mean radius, normals straight out; stitched as above. Close up, a tube of a few
// uneven sides shows its facets. Empty for under three sides or under two rings.
MeshData roundTube(const MeshData& tube, int sides);
