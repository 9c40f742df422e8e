#include "demo/FrameHead.h"

#include "demo/Timeline.h"
#include "gl/GlEntryTable.h"

SceneClock frameHead(std::int64_t position, float screenWidth, float screenHeight) {
    SceneClock clock = computeSceneClock(position, screenWidth, screenHeight);
    gl.glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    return clock;
}

void drawScene(DemoAssets& assets, SceneClock& clock) {
    if (clock.scene) clock.scene->draw(assets, clock);
}
