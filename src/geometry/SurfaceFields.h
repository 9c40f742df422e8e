#pragma once
#include "geometry/SurfaceGenerator.h"

// The four implicit fields of the generated meshes, negative inside or below their surface. Every
// rounding step is part of their definition: the meshes are compared bit for bit.

// A wavy wall facing the x axis, near x = -5.
float wallField(float x, float y, float z);
// A sphere of radius 5 with ripples along x.
float rippledSphereField(float x, float y, float z);
// Wavy ground near y = -5 that rises away from the y axis.
float canyonField(float x, float y, float z);
// A thin rod along the y axis: cylinderPair(x, y, z, 0.1, 10).
float rodField(float x, float y, float z);

// A capped cylinder about the y axis, radius r, from y = -h to y = h.
float cappedCylinder(float x, float y, float z, float r, float h);
// The cylinder (r, h) joined with a shorter, 1.2 times wider one lowered by h + 1.
float cylinderPair(float x, float y, float z, float r, float h);

// The column form of one of the four fields above (out[m] = field(x, ys[m], z), bit for bit, the
// terms that do not depend on y computed once), or null for any other field.
SurfaceColumn columnFormOf(SurfaceField field);
