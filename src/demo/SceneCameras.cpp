#include "demo/SceneCameras.h"

Matrix4 lensOf(const CameraShot& shot, const SceneClock& clock) {
    Matrix4 projection;
    perspective(projection, shot.halfWidth, clock.aspect, 1.0f, 200.0f);
    return projection;
}
