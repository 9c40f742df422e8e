#pragma once
#include "math/Matrix4.h"

// Where a view matrix really puts the camera in the coordinates of the model it is drawn with.
// The shaders apply "matrix" to positions taken as row vectors (p_view = p * view), so a view
// built from lookAt, rotate, scale and translate is read here the same way: the eye is the model
// point that lands on the view origin and the viewing direction is the model direction that lands
// on view -z (the side the projection keeps).
struct EffectiveCamera {
    double eye[3] = {0, 0, 0};
    double forward[3] = {0, 0, -1};  // unit
    double up[3] = {0, 1, 0};        // unit, the model direction that lands on view +y
    bool valid = false;              // false when the view cannot be inverted
};

EffectiveCamera effectiveCamera(const Matrix4& view);

// Row vector p (w = 1) times the matrix: the view-space point of a model point.
void transformPoint(const Matrix4& m, const double p[3], double out[4]);
