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
    // The timeline row the frame falls in; none before the first or after the last scene.
    const TimelineScene* scene = nullptr;
    float screenWidth = 0.0f;
    float screenHeight = 0.0f;

    // Seconds since `startBar`, in double precision, stored as float.
    float sceneSeconds(int startBar) const;
    // Seconds since the scene's routine started (the first of a pair's start); the scene's
    // routines and cameras read their time from here, so `scene` must be set.
    float sceneSeconds() const { return sceneSeconds(routineStartBar(*scene)); }
    // The row's name, or "none".
    const char* sceneName() const { return scene ? scene->name : "none"; }
};

// Fills every field from a position in 100 ns units and the window size.
SceneClock computeSceneClock(std::int64_t position, float screenWidth, float screenHeight);
