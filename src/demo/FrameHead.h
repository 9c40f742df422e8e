#pragma once
#include <cstdint>

#include "demo/SceneClock.h"

struct DemoAssets;

// Derives the frame's clock from the music position, clears colour and depth and builds the
// projection. The scene is then drawn with drawScene.
SceneClock frameHead(std::int64_t position, float screenWidth, float screenHeight);
// Runs the routine of the clock's timeline row; a frame in no scene draws nothing.
void drawScene(DemoAssets& assets, SceneClock& clock);
