#pragma once

#include "Image.h"

struct Vec3 {
    float x = 0.0f, y = 0.0f, z = 1.0f;
};

Vec3 normalized(Vec3 v);
float dot(Vec3 a, Vec3 b);

// Surface normal of a height plane in picture axes (x right, y down, z towards the viewer, so a
// light from the top left is (-1, -1, 1)); `depth` is the
// relief in pixels for a height difference of 1. Tiling planes are sampled wrapped.
Vec3 reliefNormal(const Plane& height, int x, int y, float depth, bool tiling);

// Diffuse and Blinn specular terms for a viewer straight above the picture.
float diffuse(Vec3 normal, Vec3 light);
float specular(Vec3 normal, Vec3 light, float power);

// Darkens creases: how far the height sits below the average of a ring of neighbours.
float cavity(const Plane& height, int x, int y, int radius, bool tiling);
