#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "demo/SceneClock.h"
#include "support/GlCallRecorder.h"

// What the scene tests read from the clock and from a frame just drawn.

// The clock at the first music position (in 100 ns steps) whose float `bars` is not below `bars`:
// lands exactly on a bar or on any fraction the float holds. With `past`, the first whose `bars`
// is above it.
SceneClock clockAtBars(double bars, bool past = false);
// The same for `beats`: lands exactly on a beat, a bar or a fraction the float can hold.
SceneClock clockAtBeats(double beats);

// The arguments of the last call to `function` recorded, or an empty list.
std::vector<double> lastCallArgs(const GlCallRecorder& calls, const std::string& function);

// The texture unit left active and the GL_TEXTURE_2D binding of units 0 .. 3 after a frame; reads
// them without disturbing them.
struct TextureUnits {
    int active = -1;
    unsigned bound[4] = {};
};
TextureUnits textureUnitsNow();

// Regions of the picture as it is seen: fractions [x0, x1) x [y0, y1) of its width and height, x
// from the left edge, y from the top edge. (The GL reads rows bottom first; these count rows as a
// viewer reads the picture.)

// How many pixels of the frame just drawn pass `test` (r, g, b in 0..255) within the region.
int countPixelsFromTopLeft(const std::function<bool(int r, int g, int b)>& test, double x0 = 0.0,
                           double y0 = 0.0, double x1 = 1.0, double y1 = 1.0);
// Where the region's pixels lie in a frame as readFrame() returns it: the offsets of their RGBA
// bytes.
std::vector<size_t> pixelOffsetsFromTopLeft(double x0, double y0, double x1, double y1);
