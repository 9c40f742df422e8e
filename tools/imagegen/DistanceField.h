#pragma once

#include "Image.h"

// Signed Euclidean distance, in pixels, to the 0.5 contour of a coverage plane: negative inside.
Plane signedDistance(const Plane& coverage);

// Box-filters a plane down by an integer factor; values are multiplied by `valueScale`
// (pass 1/factor to turn distances measured at the fine scale into coarse pixels).
Plane downsample(const Plane& fine, int factor, float valueScale = 1.0f);
