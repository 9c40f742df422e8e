#pragma once
#include "demo/SceneClock.h"
#include "math/Matrix4.h"

// One shot of a scene camera: the view matrix a scene multiplies into its projection for one
// drawn object, and the projection's half-width at that time.
struct CameraShot {
    Matrix4 view;
    float halfWidth = 0.4f;
    const char* shot = "";  // which of the scene's viewpoints is in use
};

// The camera formulas of every scene, written out once more here so their effective paths can be
// printed and plotted. `startBar`/`endBar` bound the scene routine; `at` reads the frame's clock.
struct SceneCamera {
    const char* name;
    const char* about;
    int startBar;
    int endBar;
    CameraShot (*at)(const SceneClock& clock);
};

extern const SceneCamera kSceneCameras[];
extern const int kSceneCameraCount;

const SceneCamera* findSceneCamera(const char* name);
// The frame clock at a music position in seconds (a 1280 x 720 window).
SceneClock clockAtSeconds(double seconds);
double barsToSeconds(double bars);
