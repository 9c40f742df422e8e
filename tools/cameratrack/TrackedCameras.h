#pragma once
#include "demo/SceneCameras.h"
#include "demo/SceneClock.h"

// The scene cameras the tool can follow, by name: the demo's own camera functions, some composed
// with the placement of the object they are drawn with. `startBar`/`endBar` bound the scene
// routine; `at` reads the frame's clock.
struct TrackedCamera {
    const char* name;
    const char* about;
    int startBar;
    int endBar;
    CameraShot (*at)(const SceneClock& clock);
    const TimelineScene* scene;  // the first row of the span

    // The frame clock at a music position in seconds, in the span's routine.
    SceneClock clockAtSeconds(double seconds) const;
};

extern const TrackedCamera kTrackedCameras[];
extern const int kTrackedCameraCount;

const TrackedCamera* findTrackedCamera(const char* name);
// The frame clock at a music position in seconds (a 1280 x 720 window).
SceneClock clockAtSeconds(double seconds);
