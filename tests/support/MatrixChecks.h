#pragma once
#include <vector>

#include "math/Matrix4.h"

// An uploaded matrix against the expected one, element by element, within `tolerance` relative to
// the element's size (at least 1).
void expectMatrixNear(const std::vector<double>& uploaded, const Matrix4& expected,
                      double tolerance = 2e-6);
