#pragma once
#include "geometry/MeshData.h"

// The cave shaft of the descent scene: caveField run through the surface generator, moved back
// to the cave's own coordinates, with every triangle wound to face the air and the triangles in
// an order that keeps neighbours together.
MeshData buildCaveMesh();
