#pragma once

// Lattice index g (0 ... n) to its coordinate: index 0 at -extent, n - 1 at +extent, n one step
// beyond. Every corner of every cell goes through this one formula, so a corner shared by eight
// cells has one value whichever cell asks.
inline float gridCoordinate(int g, int n, float extent) {
    return extent * ((static_cast<float>(g) / static_cast<float>(n - 1) - 0.5f) * 2.0f);
}

// Projection step and normal offsets.
constexpr float kProjectionEpsilon = 0.0001f;
constexpr float kNormalEpsilon = 0.1f;
constexpr int kProjectionSteps = 8;
