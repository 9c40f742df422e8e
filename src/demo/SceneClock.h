#pragma once
#include <cstdint>

#include "demo/Timeline.h"
#include "math/Matrix4.h"

// Everything a frame is drawn from, rebuilt from the music position at the head of every frame.
struct SceneClock {
    float seconds = 0.0f;
    float beats = 0.0f;
    float bars = 0.0f;
    float beatInBar = 0.0f;
    float beatSine = 0.0f;
    float beatFraction = 0.0f;
    float aspect = 0.0f;
    Matrix4 projection{};
    std::int32_t sceneIndex = -1;
    float screenWidth = 0.0f;
    float screenHeight = 0.0f;

    // Seconds since `startBar`, in double precision, stored as float.
    float sceneSeconds(int startBar) const;
};

// Fills every field from a position in 100 ns units and the window size; sceneStartBars holds the
// 12 start bars (the last one marks the end of scene 10).
SceneClock computeSceneClock(std::int64_t position, float screenWidth, float screenHeight,
                             const std::int32_t* sceneStartBars);
