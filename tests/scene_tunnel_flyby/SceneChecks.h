#pragma once
#include <functional>
#include <string>
#include <vector>

#include "demo/SceneClock.h"
#include "math/Matrix4.h"
#include "support/GlCallRecorder.h"
#include "support/MatrixChecks.h"

// The clock at the first music position whose float `bars` is not below `bars`: lands exactly on
// a bar or on any fraction the float holds. With `past`, the first whose `bars` is above it.
SceneClock clockAtBars(double bars, bool past = false);

// The arguments of the last call to `function` recorded, or an empty list.
std::vector<double> lastCallArgs(const GlCallRecorder& calls, const std::string& function);

// How many pixels of the frame just drawn pass `test` (r, g, b in 0..255), within the rectangle
// of fractions [x0, x1) x [y0, y1) measured from the bottom-left corner.
int countPixels(const std::function<bool(int r, int g, int b)>& test, double x0 = 0.0,
                double y0 = 0.0, double x1 = 1.0, double y1 = 1.0);
