#pragma once

// Smooth pseudo-random fields for rock surfaces. Pure functions of their arguments: the same
// input gives the same bits on every run, so generated meshes are reproducible.

// Gradient noise on the integer lattice, about -1 to 1, zero at lattice points; the slope stays
// below about 2.5 per unit.
float gradientNoise(float x, float y, float z);
// Octaves of gradient noise, each at twice the frequency and half the amplitude of the last.
float fractalNoise(float x, float y, float z, int octaves);
// Ridged octaves, 0 to about 1: sharp crests where the noise crosses zero (cracks and ledges).
float ridgedNoise(float x, float y, float z, int octaves);
// A value from 0 to 1 for an integer triple: scatter positions, sizes, angles.
float hashUnit(int x, int y, int z);
// Polynomial smooth minimum and maximum with blend width k.
float smoothMin(float a, float b, float k);
float smoothMax(float a, float b, float k);
