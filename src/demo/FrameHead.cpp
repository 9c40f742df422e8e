#include "demo/FrameHead.h"

#include "app/LaunchSettings.h"
#include "demo/DemoAssets.h"
#include "demo/Scenes.h"
#include "gl/GlEntryTable.h"

SceneClock frameHead(std::int64_t position, const LaunchSettings& settings,
                     const std::int32_t* sceneStartBars) {
    SceneClock clock =
        computeSceneClock(position, settings.screenWidth, settings.screenHeight, sceneStartBars);
    gl.glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    return clock;
}

void drawScene(DemoAssets& assets, SceneClock& clock) {
    switch (clock.sceneIndex) {
    case 0: drawIntroScene(assets, clock); break;
    case 1:
    case 2: drawCanyonScene(assets, clock); break;
    case 3: drawAsteroidTunnelScene(assets, clock); break;
    case 4: drawCliffFlybyScene(assets, clock); break;
    case 5:
    case 6: drawCaveScene(assets, clock); break;
    case 7:
    case 8: drawRocketsScene(assets, clock); break;
    case 9:
    case 10: drawTempleScene(assets, clock); break;
    default: break;
    }
}
