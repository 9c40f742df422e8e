#pragma once
#include <vector>

#include "demo/SceneCameras.h"
#include "math/Matrix4.h"

// Where a drawn "matrix" (a view times its lens, as a scene uploads it) really puts the camera in
// the coordinates of the model drawn with it, and where a model point lands on the screen. The
// shaders read the matrix with positions as row vectors.
struct DrawnCamera {
    double eye[3] = {0, 0, 0};      // the model point whose clip x, y and w vanish
    double forward[3] = {0, 0, 0};  // unit: the model direction it looks in
    double fromYAxis() const;       // the eye's distance from the model's y axis
};
DrawnCamera drawnCamera(const std::vector<double>& matrix);

// Where a model point is seen: x and y from -1 (left, bottom) to 1 (right, top) across the
// picture, and whether it lies ahead of the camera.
struct ScreenPoint {
    double x = 0, y = 0;
    bool ahead = false;
    bool inPicture() const { return ahead && x > -1 && x < 1 && y > -1 && y < 1; }
};
ScreenPoint screenPoint(const std::vector<double>& matrix, double x, double y, double z);

// How far the picture is tilted: the angle, in the test frame's pixels, by which the model's +y
// at the point 20 units ahead of the camera leans from the picture's vertical (positive: to the
// right).
double pictureTilt(const std::vector<double>& matrix);

// The matrix a scene uploads for a shot of its camera: the view times the shot's lens.
std::vector<double> shotMatrix(const CameraShot& shot, const SceneClock& clock);
