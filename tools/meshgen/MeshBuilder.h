#pragma once
#include <vector>

#include "geometry/MeshData.h"

// A point of a lathe profile in the (radius, height) plane. The profile is walked with the solid
// on its left, so the surface normal is the walking direction turned to the right. A sharp point
// starts a new face there (a hard edge); elsewhere normals are shared between neighbours.
struct ProfilePoint {
    float r;
    float y;
    bool sharp = false;
};

// Radius multiplier of a lathe at angle `theta` and profile parameter `s` (0 to 1 along the
// profile): flutes, coffers. Null for a plain surface of revolution.
using RadiusModulation = float (*)(float theta, float s);

// Appends explicit geometry to a MeshData: every vertex gets position (x, y, z, 1) and a unit
// normal facing out of the solid; triangles wind counter-clockwise seen from outside.
class MeshBuilder {
public:
    explicit MeshBuilder(MeshData& mesh) : mesh_(mesh) {}

    // The profile turned about the vertical axis through (cx, cz) in `segments` steps.
    void lathe(const std::vector<ProfilePoint>& profile, int segments, float cx = 0.0f,
               float cz = 0.0f, RadiusModulation modulation = nullptr, int rowsPerStep = 1);
    // An axis-aligned box turned by `yaw` about its vertical centre line.
    void box(float cx, float cy, float cz, float halfX, float halfY, float halfZ, float yaw);
    // Another mesh, moved by (dx, dy, dz).
    void append(const MeshData& other, float dx, float dy, float dz);

private:
    int vertex(float x, float y, float z, float nx, float ny, float nz);
    void quad(int a, int b, int c, int d);

    MeshData& mesh_;
};

// Turns every triangle whose winding disagrees with its vertex normals (the generator does not
// keep windings consistent), so all of them wind counter-clockwise seen from the normals' side.
void orientToNormals(MeshData& mesh);
