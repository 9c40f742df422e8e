#pragma once

#include <cstdint>

// Lattice noise that tiles: every function takes texture coordinates (u, v), one tile per unit,
// and integer lattice periods, so the result repeats exactly at u + 1 and v + 1. All randomness
// comes from a fixed integer hash of the lattice point and a seed.
namespace noise {

uint32_t hash(int x, int y, uint32_t seed);
float hash01(int x, int y, uint32_t seed);  // 0..1

// Smooth value and gradient noise, roughly -1..1, with px × py lattice cells per tile.
float value(float u, float v, int px, int py, uint32_t seed);
float gradient(float u, float v, int px, int py, uint32_t seed);

// Fractal sums of gradient noise: octave i has period (px, py) × 2^i and weight gain^i,
// normalised to roughly -1..1.
float fbm(float u, float v, int px, int py, int octaves, float gain, uint32_t seed);
// Ridged variant: sharp crests where the noise crosses zero, 0..1.
float ridged(float u, float v, int px, int py, int octaves, float gain, uint32_t seed);

// Cellular (Worley) pattern with one jittered feature point per lattice cell.
struct Cell {
    float f1 = 0.0f, f2 = 0.0f;  // distances to nearest and second-nearest point, in cells
    float dx = 0.0f, dy = 0.0f;  // offset from the nearest point to the sample, in cells
    uint32_t id = 0;             // hash of the nearest point's cell
};
Cell cellular(float u, float v, int px, int py, float jitter, uint32_t seed);

}  // namespace noise
