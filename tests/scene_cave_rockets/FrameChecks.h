#pragma once
#include <functional>
#include <vector>

#include "demo/SceneClock.h"
#include "math/Matrix4.h"
#include "support/MatrixChecks.h"

// The clock at the first music position (in 100 ns steps) whose float `beats` reaches `beats`:
// lands exactly on a beat, a bar or a fraction the float can hold.
SceneClock clockAtBeats(double beats);

// The texture unit left active and the GL_TEXTURE_2D binding of units 0 .. 3 after a frame; reads
// them without disturbing them.
struct TextureUnits {
    int active = -1;
    unsigned bound[4] = {};
};
TextureUnits textureUnitsNow();

// How many pixels of the frame just drawn pass `test` (r, g, b in 0..255), within the rectangle
// of fractions [x0, x1) x [y0, y1) measured from the top-left corner.
int countPixels(const std::function<bool(int r, int g, int b)>& test, double x0 = 0.0,
                double y0 = 0.0, double x1 = 1.0, double y1 = 1.0);
